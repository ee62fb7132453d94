/* krok 17: zażółć gęślą jaźń, ZAŻÓŁĆ GĘŚLĄ JAŹŃ – €5 */
static int krok_17(int a, int b)
{
    return a + b; // ąę
}
