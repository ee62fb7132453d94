// ³ód¼ (code page)
char c;
