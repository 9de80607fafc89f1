var ContentItems = [
	["Getting Started", "source/start.htm", "1",
		["Install", "source/install.htm", "11"],
		["Notes", null, "11"],
		["Setup \u4e2d\u6587 <b>", "source/setup.htm", "11"]
	],
	["Concepts", null, "1",
		["Overview", "source/overview.htm", "11"],
		["Deep", "source/deep.htm", "1",
			["Leaf", "source/leaf.htm", "11"]
		]
	],
	["Reference", "source/ref.htm", "11"],
	["Appendix", null, "11"]
];

var gInitURL = "source/start.htm"
