//Maya ASCII 2024 scene
//Name: shot.ma
file -r -ns "set" -dr 1 -rfn "setRN" "C:/proj/scenes/set.ma";
createNode file -n "wood";
	setAttr ".ftn" -type "string" "C:/proj/sourceimages/wood.tif";
