// Zażółć gęślą jaźń
int x;
