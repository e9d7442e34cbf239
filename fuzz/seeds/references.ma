//Maya ASCII 2024 scene
file -rdi 1 -ns "prop" -rfn "propRN" -op "v=0;" -typ "mayaAscii"
		 "scenes/prop.mb";
file -r -ns "prop" -dr 1 -rfn "propRN" -op "v=0;" -typ "mayaAscii"
		 "scenes/prop.mb";
requires maya "2024";
createNode transform -n "root";
