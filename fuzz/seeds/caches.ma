//Maya ASCII 2024 scene
requires maya "2024";
createNode cacheFile -n "cacheFile1";
	rename -uid "5A1B2C3D";
	setAttr ".cn" -type "string" "nParticleShape1";
	setAttr -k on ".cp" -type "string" "D:/shots/cache/nCache/";
	setAttr ".os" 1;
	setAttr ".oe" 24;
	setAttr ".ss" 1;
	setAttr ".se" 24;
	setAttr ".sf" 101;
createNode cacheFile -n "cacheFile2";
	setAttr ".cp" -type "string" "cache";
connectAttr "cacheFile1.o" "nParticleShape1.i";
