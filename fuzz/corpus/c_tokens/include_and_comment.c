#include <stdio.h>
/* a
 b */ int main(void) { return 0; }
