//Maya ASCII
setAttr ".ftn" -type "string" "C:/maps/with space/wood.tif";
setAttr ".ftn" -type "string" "a \" b";
file -r "un quoted path.ma";
file -r ;
