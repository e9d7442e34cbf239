//Maya ASCII
setAttr ".ftn" -type "string" file -r "x/y.ma";
