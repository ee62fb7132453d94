//--?00 Dane
#include <stdio.h>

int main(void)
{
    int liczby[] = {3, 1, 4, 1, 5};
    int suma = 0;
    for (int i = 0; i < 5; i++)
        suma += liczby[i];

//--?01 Wynik
    printf("Suma: %d\n", suma);
    return 0;
}
