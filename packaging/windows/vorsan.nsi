; The Vorsan installer for 64-bit Windows: the programs, the automation server
; VorsanCOM and the system voice Nimbrel22, the shipped data and the
; configuration new users start from, under Program Files; the servers and
; the voices registered machine-wide; an uninstaller that takes all of it
; away again. Silent with /S.
;
;   makensis -DVERSION=0.9.0 -DSTAGE=<staged tree> -DOUTFILE=<setup.exe> vorsan.nsi
;
; STAGE is the installation tree as `cmake --install` lays it out (bin,
; share/vorsan with the installation folder share/vorsan/nimbrel), its links
; resolved.

Unicode true
Target amd64-unicode
ManifestSupportedOS all

!ifndef VERSION | STAGE | OUTFILE
  !error "define VERSION, STAGE and OUTFILE"
!endif

!include LogicLib.nsh

!define PRODUCT "Vorsan"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vorsan"
; The key whose default value names the installation folder of the system
; voice: the folder holding tolvane.xml and Speechfiles, copied for each new
; user on first use.
!define NIMBREL_KEY "Software\Nimbrel"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PRODUCT}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  SetRegView 64
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

; Runs regsvr32 on a server (with /u to unregister); a failure is reported
; and leaves the error flag set.
!macro RegisterServer FLAGS DLL
  ExecWait '"$SYSDIR\regsvr32.exe" /s ${FLAGS} "${DLL}"' $0
  ${If} $0 != 0
    DetailPrint "regsvr32 ${FLAGS} ${DLL} failed ($0)"
    SetErrors
  ${EndIf}
!macroend

Section "Vorsan"
  SetOutPath "$INSTDIR"
  File /r "${STAGE}/*"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${NIMBREL_KEY}" "" "$INSTDIR\share\vorsan\nimbrel"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  ; The servers' classes go to the machine's part of the class registry
  ; (their default; a per-user choice in the environment is dropped); the
  ; voice registers after the engine's server, whose languages give its
  ; voice tokens.
  System::Call 'kernel32::SetEnvironmentVariableW(w "VORSAN_REGISTRY_SCOPE", p 0)'
  ClearErrors
  !insertmacro RegisterServer "" "$INSTDIR\bin\VorsanCOM.dll"
  !insertmacro RegisterServer "" "$INSTDIR\bin\Nimbrel22.dll"
  ${If} ${Errors}
    MessageBox MB_ICONEXCLAMATION "The servers could not be registered; the voices will not be listed." /SD IDOK
    SetErrorLevel 2
  ${EndIf}
SectionEnd

Section "Uninstall"
  System::Call 'kernel32::SetEnvironmentVariableW(w "VORSAN_REGISTRY_SCOPE", p 0)'
  ; The voice first: its unregistration removes the voice tokens naming it.
  !insertmacro RegisterServer "/u" "$INSTDIR\bin\Nimbrel22.dll"
  !insertmacro RegisterServer "/u" "$INSTDIR\bin\VorsanCOM.dll"

  RMDir /r "$INSTDIR\bin"
  RMDir /r "$INSTDIR\lib"
  RMDir /r "$INSTDIR\share"
  RMDir /r "$INSTDIR\include"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  DeleteRegKey HKLM "${NIMBREL_KEY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
