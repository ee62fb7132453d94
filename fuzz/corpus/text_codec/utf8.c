// Łódź 😀
int y;
