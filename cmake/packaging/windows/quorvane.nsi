; The Windows installer, made on Linux by scripts/package-windows.sh:
;   makensis -DVERSION=1.3.0.1 -DSTAGE=<staged files> -DPRESET_LIST=<presets.nsh> \
;            -DOUTFILE=<setup.exe> quorvane.nsi
; STAGE holds what the zip holds (VST3/, "VST2 64-bit/", "VST2 32-bit/", Presets/, LICENSE.txt);
; PRESET_LIST deletes each factory preset from the folder in $0, for the uninstaller.
;
; Silent use (/S): the VST 3 bundle and the presets are installed unless /NOVST3 or /NOPRESETS;
; /VST2_64 and /VST2_32 add the VST 2 modules, into /VST2DIR64=<folder> and /VST2DIR32=<folder>
; if given; /D=<folder> (last) sets the folder of the uninstaller. Installing again keeps the
; earlier choices unless told otherwise.
Unicode true
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include x64.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WordFunc.nsh
!include Sections.nsh

!define PRODUCT "Quorvane"
!define VENDOR "Ostrelle"
!define URL "http://ostrelle.example/quorvane"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define BUNDLE "Quorvane.vst3"
!define VST2_DLL "Quorvane VST2.dll"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${VENDOR} ${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${VENDOR}"
VIAddVersionKey "FileDescription" "${PRODUCT} installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "GPL-3.0-or-later"

; Where each part goes; the uninstaller reads them back from the registry.
Var Vst3Dir
Var Vst2Dir64
Var Vst2Dir32
Var PresetDir

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE.txt"
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipVst2Dir64
!define MUI_PAGE_HEADER_TEXT "VST 2 folder (64-bit)"
!define MUI_PAGE_HEADER_SUBTEXT "Where your 64-bit VST 2 hosts look for plug-ins."
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup will put ${VST2_DLL} (64-bit) in this folder."
!define MUI_DIRECTORYPAGE_VARIABLE $Vst2Dir64
!insertmacro MUI_PAGE_DIRECTORY
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipVst2Dir32
!define MUI_PAGE_HEADER_TEXT "VST 2 folder (32-bit)"
!define MUI_PAGE_HEADER_SUBTEXT "Where your 32-bit VST 2 hosts look for plug-ins."
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup will put ${VST2_DLL} (32-bit) in this folder."
!define MUI_DIRECTORYPAGE_VARIABLE $Vst2Dir32
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The uninstall key and our folders are the 64-bit ones on 64-bit Windows, although this
; installer is a 32-bit program: the registry through the 64-bit view, the folders through
; $COMMONFILES64 and $PROGRAMFILES64. (File-system redirection touches only the system folder,
; where nothing of ours goes, so it stays on.)
!macro UseNativeViews
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
!macroend

; Removes what an installation recorded in the uninstall key, and folders of ours left empty.
; Files a user put beside ours (presets of their own) stay, and so do their folders.
!macro RemoveRecorded
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "VST3Folder"
  ${If} $0 != ""
    RMDir /r "$0\${BUNDLE}"
    RMDir "$0"
  ${EndIf}
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "VST2Folder64"
  ${If} $0 != ""
    Delete "$0\${VST2_DLL}"
    RMDir "$0"
  ${EndIf}
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "VST2Folder32"
  ${If} $0 != ""
    Delete "$0\${VST2_DLL}"
    RMDir "$0"
  ${EndIf}
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "PresetFolder"
  ${If} $0 != ""
    !include "${PRESET_LIST}"
    RMDir "$0"
    ${GetParent} $0 $0
    RMDir "$0"
    ${GetParent} $0 $0
    RMDir "$0"
  ${EndIf}
!macroend

Section "-Previous installation"
  ; Installing over an earlier version (or the same one) replaces it: what it put anywhere goes
  ; first, so that nothing of it stays behind in a folder this installation does not use.
  !insertmacro RemoveRecorded
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} $0 != $INSTDIR
    Delete "$0\uninstall.exe"
    Delete "$0\LICENSE.txt"
    RMDir "$0"
  ${EndIf}
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

Section "VST 3" SecVst3
  ${If} ${RunningX64}
    StrCpy $Vst3Dir "$COMMONFILES64\VST3"
    SetOutPath "$Vst3Dir\${BUNDLE}\Contents\x86_64-win"
    File "${STAGE}/VST3/${BUNDLE}/Contents/x86_64-win/${BUNDLE}"
  ${Else}
    StrCpy $Vst3Dir "$COMMONFILES\VST3"
  ${EndIf}
  SetOutPath "$Vst3Dir\${BUNDLE}\Contents\x86-win"
  File "${STAGE}/VST3/${BUNDLE}/Contents/x86-win/${BUNDLE}"
  SetOutPath "$Vst3Dir\${BUNDLE}\Contents"
  File /r "${STAGE}/VST3/${BUNDLE}/Contents/Resources"
SectionEnd

Section /o "VST 2 (64-bit)" SecVst2x64
  SetOutPath "$Vst2Dir64"
  File "${STAGE}/VST2 64-bit/${VST2_DLL}"
SectionEnd

Section /o "VST 2 (32-bit)" SecVst2x86
  SetOutPath "$Vst2Dir32"
  File "${STAGE}/VST2 32-bit/${VST2_DLL}"
SectionEnd

Section "Factory presets" SecPresets
  StrCpy $PresetDir "$DOCUMENTS\VST3 Presets\${VENDOR}\${PRODUCT}"
  SetOutPath "$PresetDir"
  File "${STAGE}/Presets/*.vstpreset"
SectionEnd

Section "-Uninstaller"
  SetOutPath "$INSTDIR"
  File "${STAGE}/LICENSE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${VENDOR}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${URL}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; What this installation put where, for the uninstaller and the next installation.
  ${If} ${SectionIsSelected} ${SecVst3}
    WriteRegStr HKLM "${UNINSTALL_KEY}" "VST3Folder" "$Vst3Dir"
  ${EndIf}
  ${If} ${SectionIsSelected} ${SecVst2x64}
    WriteRegStr HKLM "${UNINSTALL_KEY}" "VST2Folder64" "$Vst2Dir64"
  ${EndIf}
  ${If} ${SectionIsSelected} ${SecVst2x86}
    WriteRegStr HKLM "${UNINSTALL_KEY}" "VST2Folder32" "$Vst2Dir32"
  ${EndIf}
  ${If} ${SectionIsSelected} ${SecPresets}
    WriteRegStr HKLM "${UNINSTALL_KEY}" "PresetFolder" "$PresetDir"
  ${EndIf}
  ; The size "Apps & features" shows, in KiB.
  StrCpy $1 0
  ${ForEach} $2 ${SecVst3} ${SecPresets} + 1
    ${If} ${SectionIsSelected} $2
      SectionGetSize $2 $3
      IntOp $1 $1 + $3
    ${EndIf}
  ${Next}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $1
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecVst3} "The VST 3 plug-in, for hosts that load VST 3 (most do)."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecVst2x64} "The VST 2 plug-in for 64-bit hosts that load VST 2 only."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecVst2x86} "The VST 2 plug-in for 32-bit hosts that load VST 2 only."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecPresets} "The factory presets, in your Documents\VST3 Presets folder."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; A command-line switch: its value in $1; sets the error flag when it is absent. A folder with
; spaces may come as /VST2DIR64="D:\VST Plugins" (cmd) or "/VST2DIR64=D:\VST Plugins"
; (PowerShell, and programs that quote each argument): both are read alike.
!macro CommandLineSwitch name
  ${GetParameters} $0
  ${WordReplace} $0 '"/VST2DIR64=' '/VST2DIR64="' "+" $0
  ${WordReplace} $0 '"/VST2DIR32=' '/VST2DIR32="' "+" $0
  ClearErrors
  ${GetOptions} $0 "${name}" $1
!macroend

Function .onInit
  !insertmacro UseNativeViews
  ; An installed newer version is not replaced unless the user says so (silently: never).
  ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "DisplayVersion"
  ${If} $R0 != ""
    ${VersionCompare} "$R0" "${VERSION}" $R1
    ${If} $R1 == 1
      MessageBox MB_YESNO|MB_ICONQUESTION "${PRODUCT} $R0 is installed, newer than this ${VERSION}. Replace it?" /SD IDNO IDYES replace
      SetErrorLevel 2
      Abort
      replace:
    ${EndIf}
  ${EndIf}

  ${If} $INSTDIR == ""
    ReadRegStr $INSTDIR HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${EndIf}
  ${If} $INSTDIR == ""
    StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
  ${EndIf}

  ; Defaults, then what an earlier installation chose, then the command line.
  StrCpy $Vst2Dir64 "$PROGRAMFILES64\VSTPlugins"
  StrCpy $Vst2Dir32 "$PROGRAMFILES32\VSTPlugins"
  ${If} $R0 != ""
    ReadRegStr $R2 HKLM "${UNINSTALL_KEY}" "VST3Folder"
    ${If} $R2 == ""
      !insertmacro UnselectSection ${SecVst3}
    ${EndIf}
    ReadRegStr $R2 HKLM "${UNINSTALL_KEY}" "PresetFolder"
    ${If} $R2 == ""
      !insertmacro UnselectSection ${SecPresets}
    ${EndIf}
    ReadRegStr $R2 HKLM "${UNINSTALL_KEY}" "VST2Folder64"
    ${If} $R2 != ""
      StrCpy $Vst2Dir64 $R2
      !insertmacro SelectSection ${SecVst2x64}
    ${EndIf}
    ReadRegStr $R2 HKLM "${UNINSTALL_KEY}" "VST2Folder32"
    ${If} $R2 != ""
      StrCpy $Vst2Dir32 $R2
      !insertmacro SelectSection ${SecVst2x86}
    ${EndIf}
  ${EndIf}
  !insertmacro CommandLineSwitch "/NOVST3"
  ${IfNot} ${Errors}
    !insertmacro UnselectSection ${SecVst3}
  ${EndIf}
  !insertmacro CommandLineSwitch "/NOPRESETS"
  ${IfNot} ${Errors}
    !insertmacro UnselectSection ${SecPresets}
  ${EndIf}
  !insertmacro CommandLineSwitch "/VST2_64"
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecVst2x64}
  ${EndIf}
  !insertmacro CommandLineSwitch "/VST2_32"
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecVst2x86}
  ${EndIf}
  !insertmacro CommandLineSwitch "/VST2DIR64="
  ${IfNot} ${Errors}
    StrCpy $Vst2Dir64 $1
  ${EndIf}
  !insertmacro CommandLineSwitch "/VST2DIR32="
  ${IfNot} ${Errors}
    StrCpy $Vst2Dir32 $1
  ${EndIf}

  ; 32-bit Windows runs only the 32-bit parts: the 64-bit VST 2 module is not offered.
  ${IfNot} ${RunningX64}
    !insertmacro UnselectSection ${SecVst2x64}
    SectionSetText ${SecVst2x64} ""
  ${EndIf}
FunctionEnd

Function SkipVst2Dir64
  ${IfNot} ${SectionIsSelected} ${SecVst2x64}
    Abort
  ${EndIf}
FunctionEnd

Function SkipVst2Dir32
  ${IfNot} ${SectionIsSelected} ${SecVst2x86}
    Abort
  ${EndIf}
FunctionEnd

Section "Uninstall"
  !insertmacro RemoveRecorded
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$INSTDIR\LICENSE.txt"
  RMDir "$INSTDIR"
SectionEnd

Function un.onInit
  !insertmacro UseNativeViews
FunctionEnd
