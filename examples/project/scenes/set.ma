//Maya ASCII 2024 scene
//Name: set.ma
//Last modified: Mon, Mar 11, 2024 04:12:55 PM
//Codeset: 1252
requires maya "2024";
currentUnit -l centimeter -a degree -t film;
fileInfo "application" "maya";
fileInfo "product" "Maya 2024";
fileInfo "version" "2024";
fileInfo "cutIdentifier" "202310181224-69282f2959";
fileInfo "osv" "Windows 10 Pro v2009 (Build: 19045)";
createNode transform -n "floor";
	rename -uid "6C2A1F80-4B3E-9D21-3A07-E29B5D3C1A10";
	setAttr ".s" -type "double3" 20 1 20 ;
createNode mesh -n "floorShape" -p "floor";
	rename -uid "A51E0C33-4F8D-22B6-71C4-0F3B9E6D8A21";
	setAttr -k off ".v";
	setAttr ".vir" yes;
	setAttr ".vif" yes;
	setAttr ".uvst[0].uvsn" -type "string" "map1";
	setAttr ".cuvs" -type "string" "map1";
createNode transform -n "backWall";
	rename -uid "0D7E55B2-4C19-8F6A-2E90-7B41C6A3F532";
	setAttr ".t" -type "double3" 0 5 -10 ;
	setAttr ".s" -type "double3" 20 10 1 ;
createNode mesh -n "backWallShape" -p "backWall";
	rename -uid "93B04D6E-41A2-7C58-E1F3-5A2D08B94C43";
	setAttr -k off ".v";
createNode lambert -n "floorMaterial";
	rename -uid "2F6C9A10-4E73-B845-0D1C-96E7A3B25F54";
createNode file -n "floorFile";
	rename -uid "7A3D2E91-4B06-5C1F-A8E2-41F09D6B7C65";
	setAttr ".ftn" -type "string" "sourceimages/wood.tif";
	setAttr ".cs" -type "string" "sRGB";
createNode lambert -n "wallMaterial";
	rename -uid "C84E1B27-4D95-3A60-F2B7-18AC5E09D376";
createNode file -n "wallFile";
	rename -uid "5E09F3A4-4A28-E71D-6B35-C2D870F41E87";
	setAttr ".ftn" -type "string" "sourceimages/brick.tif";
	setAttr ".cs" -type "string" "sRGB";
createNode place2dTexture -n "place2dTexture1";
	rename -uid "B17C64D8-42E3-905A-7D4E-3F28A1C6D098";
	setAttr ".re" -type "float2" 4 4 ;
connectAttr "floorFile.oc" "floorMaterial.c";
connectAttr "wallFile.oc" "wallMaterial.c";
connectAttr "place2dTexture1.o" "floorFile.uv";
connectAttr "place2dTexture1.ofs" "floorFile.fs";
// End of set.ma
