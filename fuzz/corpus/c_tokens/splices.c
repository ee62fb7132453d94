#define M \
 (1)
// x \
 y
"s\
 t" c = 'q';
