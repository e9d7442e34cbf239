//Maya ASCII 2024 scene
//Name: shot.ma
//Last modified: Tue, Mar 12, 2024 10:41:07 AM
//Codeset: 1252
file -rdi 1 -ns "set" -rfn "setRN" -op "v=0;" -typ "mayaAscii" "scenes/set.ma";
file -rdi 1 -ns "prop" -rfn "propRN" -op "v=0;" -typ "mayaBinary" "scenes/prop.mb";
file -r -ns "set" -dr 1 -rfn "setRN" -op "v=0;" -typ "mayaAscii"
		 "scenes/set.ma";
file -r -ns "prop" -dr 1 -rfn "propRN" -op "v=0;" -typ "mayaBinary"
		 "scenes/prop.mb";
requires maya "2024";
currentUnit -l centimeter -a degree -t film;
fileInfo "application" "maya";
fileInfo "product" "Maya 2024";
fileInfo "version" "2024";
fileInfo "cutIdentifier" "202310181224-69282f2959";
fileInfo "osv" "Windows 10 Pro v2009 (Build: 19045)";
createNode transform -s -n "persp";
	rename -uid "F3E1A4C2-4B7D-1E90-6A2F-0C8B5D4E3A11";
	setAttr ".v" no;
	setAttr ".t" -type "double3" 28.184 21.138 28.184 ;
	setAttr ".r" -type "double3" -27.938 45 0 ;
createNode camera -s -n "perspShape" -p "persp";
	rename -uid "1B8C7D3E-4F20-A596-C31E-8D0F2A7B6C22";
	setAttr -k off ".v" no;
	setAttr ".fl" 34.999999999999993;
	setAttr ".coi" 44.82186966202994;
	setAttr ".imn" -type "string" "persp";
	setAttr ".den" -type "string" "persp_depth";
	setAttr ".man" -type "string" "persp_mask";
createNode transform -n "shotCam";
	rename -uid "9D4F2B61-4C83-E07A-15B9-6E3C0A8D2F33";
	setAttr ".t" -type "double3" 0 6.5 18 ;
	setAttr ".r" -type "double3" -12 0 0 ;
createNode camera -n "shotCamShape" -p "shotCam";
	rename -uid "4A0E9C75-4D16-B2F8-7E03-91D5B6A4C044";
	setAttr -k off ".v";
	setAttr ".rnd" yes;
	setAttr ".fl" 50;
	setAttr ".imn" -type "string" "shotCam";
createNode reference -n "setRN";
	rename -uid "E6B3D8F0-4A59-7C21-0F4E-A82C15D97B55";
	setAttr ".ed" -type "dataReferenceEdits" 
		"setRN"
		"setRN" 0;
createNode reference -n "propRN";
	rename -uid "2C7F1A09-4E84-6D3B-B950-3FE8A27C0D66";
	setAttr ".ed" -type "dataReferenceEdits" 
		"propRN"
		"propRN" 0;
createNode file -n "groundFile";
	rename -uid "8B2E6F14-4C3A-D917-A5E0-C4791B3D2E77";
	setAttr ".ftn" -type "string" "sourceimages/wood.tif";
	setAttr ".cs" -type "string" "sRGB";
createNode file -n "skyFile";
	rename -uid "D05A3C98-4B61-2F7E-8C14-E0B3F96A5D88";
	setAttr ".ftn" -type "string" "sourceimages/sky.png";
	setAttr ".cs" -type "string" "sRGB";
createNode file -n "wallDetailFile";
	rename -uid "61F9E2B3-4D08-A7C5-3E61-7A2D4C0B8F99";
	setAttr ".ftn" -type "string" "@ASSET_LIBRARY@/textures/concrete.png";
	setAttr ".cs" -type "string" "sRGB";
createNode place2dTexture -n "place2dTexture1";
	rename -uid "3E8D0C56-4F92-1B7A-D6C3-5B9E8A1F0EAA";
createNode renderLayerManager -n "renderLayerManager";
	rename -uid "A7C4E1F0-4B35-9D86-20EF-C6D3B58A7FBB";
createNode renderLayer -n "defaultRenderLayer";
	rename -uid "0F5B9A27-4E6C-83D1-7B24-19E0F4C6D3CC";
	setAttr ".g" yes;
select -ne :defaultRenderGlobals;
	setAttr ".an" yes;
	setAttr ".fs" 1;
	setAttr ".ef" 25;
	setAttr ".ifp" -type "string" "Frame";
connectAttr "place2dTexture1.o" "groundFile.uv";
connectAttr "place2dTexture1.ofs" "groundFile.fs";
// End of shot.ma
