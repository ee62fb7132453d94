x = 0x1F + 1.5e-3 + .5; s = L"w" u8"y"
"open
