//Maya ASCII 2024 scene
createNode file -n "wood";
	setAttr ".ftn" -type "string" "sourceimages/wood.tif";
/* block ; comment */
// line ; comment

