var IndexItems = [
["alpha", "source/start.htm"],
["beta", "source/setup.htm"],
["c++ language", "source/ref.htm"],
["fonts", "source/overview.htm"],
[" size", "source/install.htm"],
["install", "source/install.htm"],
["printing", ""],
[" Print a page", "source/ref.htm"],
["setup", "source/setup.htm"],
["typefaces", "@@@fonts"],
["\u4e2d\u6587", "source/setup.htm"]];

