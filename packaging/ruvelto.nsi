; The installer of Ruvelto for the current user, without administrator rights.
; scripts/lib.sh (make_package) runs makensis with:
;   VERSION  the project's version     STAGE  the staged files (as in the zip)
;   ICON     the program's icon        OUTFILE  the setup program to write
; and writes files.nsh beside the staged files: InstallProgramFiles and
; RemoveProgramFiles, the File and Delete lines of every staged file but the
; macros, and HAVE_MACROS when there are sample macros.
; The settings file, the macro folder and the read-me live beside the
; executable, so the program goes into a folder of the user's own.
Unicode true
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "${STAGE}\..\files.nsh"

!define NAME "Ruvelto"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Ruvelto"
!define FILE_VERB_KEY "shell\Ruvelto.Edit"
!define FILE_VERB_TEXT "Ruvelto で編集(&R)"
; The main window's class: while one exists, Ruvelto is running.
!define MAIN_WINDOW_CLASS "RvFrame"
; Exit code of a silent run that found Ruvelto running and changed nothing.
!define EXIT_RUNNING 2

Name "${NAME} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Ruvelto"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${NAME} ${VERSION}"
; The language file's "インストール(&I)" does not fit its button in every font.
InstallButtonText "インストール"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductName" "${NAME}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "FileDescription" "${NAME} セットアップ"
VIAddVersionKey /LANG=1041 "CompanyName" "Ruvelto Project"
VIAddVersionKey /LANG=1041 "LegalCopyright" "Ruvelto Project"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\ruvelto.exe"
!define MUI_FINISHPAGE_RUN_NOTCHECKED
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\ruvelto.html"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "お読みください を表示する"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

; The extensions that get the Explorer command; their open action is left alone.
!macro ForEachScriptType MACRO
  !insertmacro ${MACRO} ".js"
  !insertmacro ${MACRO} ".jse"
  !insertmacro ${MACRO} ".vbs"
  !insertmacro ${MACRO} ".vbe"
  !insertmacro ${MACRO} ".wsf"
  !insertmacro ${MACRO} ".wsc"
  !insertmacro ${MACRO} ".hta"
  !insertmacro ${MACRO} ".txt"
!macroend

!macro AddFileVerb EXT
  WriteRegStr HKCU "Software\Classes\SystemFileAssociations\${EXT}\${FILE_VERB_KEY}" "" "${FILE_VERB_TEXT}"
  WriteRegStr HKCU "Software\Classes\SystemFileAssociations\${EXT}\${FILE_VERB_KEY}" "Icon" "$INSTDIR\ruvelto.exe"
  WriteRegStr HKCU "Software\Classes\SystemFileAssociations\${EXT}\${FILE_VERB_KEY}\command" "" '"$INSTDIR\ruvelto.exe" "%1"'
!macroend

!macro RemoveFileVerb EXT
  DeleteRegKey HKCU "Software\Classes\SystemFileAssociations\${EXT}\${FILE_VERB_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Classes\SystemFileAssociations\${EXT}\shell"
  DeleteRegKey /ifempty HKCU "Software\Classes\SystemFileAssociations\${EXT}"
!macroend

; Waits until no Ruvelto window is open: asks to close it, and a silent run
; ends with EXIT_RUNNING before anything is replaced or removed.
!macro WaitUntilClosed UN
Function ${UN}WaitUntilClosed
  ${Do}
    FindWindow $0 "${MAIN_WINDOW_CLASS}"
    ${If} $0 == 0
      Return
    ${EndIf}
    ${If} ${Silent}
      SetErrorLevel ${EXIT_RUNNING}
      Quit
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "Ruvelto が実行中です。Ruvelto を終了してから [再試行] を押してください。" IDRETRY retry
    SetErrorLevel ${EXIT_RUNNING}
    Quit
    retry:
  ${Loop}
FunctionEnd
!macroend
!insertmacro WaitUntilClosed ""
!insertmacro WaitUntilClosed "un."

Function .onInit
  Call WaitUntilClosed
FunctionEnd

Function un.onInit
  Call un.WaitUntilClosed
FunctionEnd

Section "Ruvelto (必須)" SecProgram
  SectionIn RO
  SetShellVarContext current
  ; An earlier version's files are replaced; ruvelto.ini is never installed,
  ; so the user's settings stay as they are.
  !insertmacro InstallProgramFiles
  !ifdef HAVE_MACROS
  ; The sample macros never replace a macro of the same name the user has.
  SetOutPath "$INSTDIR\macro"
  SetOverwrite off
  File /r "${STAGE}\macro\*.*"
  SetOverwrite on
  SetOutPath "$INSTDIR"
  !endif

  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Ruvelto.lnk" "$INSTDIR\ruvelto.exe" "" "$INSTDIR\ruvelto.exe" 0
  !insertmacro ForEachScriptType AddFileVerb

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Ruvelto Project"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\ruvelto.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section /o "デスクトップにショートカットを作る" SecDesktop
  SetShellVarContext current
  CreateShortcut "$DESKTOP\Ruvelto.lnk" "$INSTDIR\ruvelto.exe" "" "$INSTDIR\ruvelto.exe" 0
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  !insertmacro ForEachScriptType RemoveFileVerb
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  Delete "$SMPROGRAMS\Ruvelto.lnk"
  Delete "$DESKTOP\Ruvelto.lnk"
  !insertmacro RemoveProgramFiles
  ; The user's own files: the settings beside the program, the macros, and the
  ; backups of unsaved text in the user's local application data. Kept unless
  ; the user says otherwise; a silent run keeps them.
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
    "設定ファイル (ruvelto.ini)、マクロ、未保存のテキストのバックアップも削除しますか?$\r$\n[いいえ] を選ぶと、これらは残ります。" \
    /SD IDNO IDNO keep
    Delete "$INSTDIR\ruvelto.ini"
    RMDir /r "$INSTDIR\macro"
    RMDir /r "$LOCALAPPDATA\Ruvelto\backup"
    RMDir "$LOCALAPPDATA\Ruvelto"
  keep:
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
