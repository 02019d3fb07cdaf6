; The Windows installer of モンテラ: installs the program folder for the current
; user, without administrator rights, makes it the user's screensaver and adds
; a Start-menu entry for its settings. scripts/windows-installer makes it with
; makensis and passes the defines below; the program folder's files come from
; the include it writes.

!ifndef MONTERA_VERSION | MONTERA_PRODUCT_VERSION | MONTERA_OUTFILE | MONTERA_FILES | MONTERA_LICENSE
    !error "Run scripts/windows-installer, which sets the version, the program folder and the output."
!endif

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include /CHARSET=UTF8 "${MONTERA_FILES}"

!define SHOW_TITLE "ScreenSaver_MainForm_20020313"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Montera"
!define DESKTOP_KEY "Control Panel\Desktop"
!define SETTINGS_LINK "$SMPROGRAMS\モンテラの設定.lnk"

; "page" while WaitUntilClosed is called from a page's callback.
Var WaitingIn

Name "モンテラ ${MONTERA_VERSION}"
OutFile "${MONTERA_OUTFILE}"
; The settings file and the answer history are kept beside the program, so
; the folder must stay writable for the user: a per-user folder, not
; Program Files.
InstallDir "$LOCALAPPDATA\Programs\Montera"
ShowInstDetails show
BrandingText "モンテラ ${MONTERA_VERSION}"
ShowUninstDetails show

VIProductVersion "${MONTERA_PRODUCT_VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "モンテラ"
VIAddVersionKey /LANG=1033 "FileDescription" "モンテラ ${MONTERA_VERSION} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${MONTERA_VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${MONTERA_VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "GPL-3.0-or-later"

!ifdef MONTERA_ICON
    !define MUI_ICON "${MONTERA_ICON}"
    !define MUI_UNICON "${MONTERA_ICON}"
!endif
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!insertmacro MUI_PAGE_WELCOME
; The GPL governs passing the program on, not using it: nothing to accept.
!define MUI_LICENSEPAGE_TEXT_BOTTOM "$(LicenseNote)"
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE AskToClose
!insertmacro MUI_PAGE_LICENSE "${MONTERA_LICENSE}"
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "$(FinishText)"
!define MUI_FINISHPAGE_RUN "$INSTDIR\montera.scr"
!define MUI_FINISHPAGE_RUN_PARAMETERS "/c"
!define MUI_FINISHPAGE_RUN_TEXT "$(OpenSettings)"
!insertmacro MUI_PAGE_FINISH

!define MUI_PAGE_CUSTOMFUNCTION_LEAVE un.AskToClose
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one for systems in neither.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

LangString WelcomeText ${LANG_ENGLISH} "Setup will install モンテラ ${MONTERA_VERSION} for you and make it your screensaver. It needs no administrator rights.$\r$\n$\r$\nIf the モンテラ screensaver or its settings window is open, close it first.$\r$\n$\r$\nClick Next to continue."
LangString WelcomeText ${LANG_JAPANESE} "モンテラ ${MONTERA_VERSION} をこのユーザー用にインストールし、スクリーンセーバーに設定します。管理者の権限は要りません。$\r$\n$\r$\nモンテラのスクリーンセーバーや設定ウィンドウが開いていれば、先に閉じてください。$\r$\n$\r$\n続けるには [次へ] をクリックしてください。"
LangString LicenseNote ${LANG_ENGLISH} "モンテラ is free software under the GNU General Public License, version 3 or later. You need not accept it to use the program: it sets the terms for copying, changing and passing it on."
LangString LicenseNote ${LANG_JAPANESE} "モンテラは GNU 一般公衆利用許諾書 (第 3 版以降) のもとで配布されるフリーソフトウェアです。使うだけなら同意は要りません。複製・改変・再配布の条件を定めたものです。"
LangString FinishText ${LANG_ENGLISH} "モンテラ is installed and is now your screensaver. Its settings are in the Start menu under モンテラの設定."
LangString FinishText ${LANG_JAPANESE} "モンテラをインストールし、スクリーンセーバーに設定しました。設定はスタートメニューの「モンテラの設定」から開けます。"
LangString OpenSettings ${LANG_ENGLISH} "Open モンテラの設定"
LangString OpenSettings ${LANG_JAPANESE} "モンテラの設定を開く"
LangString LinkDescription ${LANG_ENGLISH} "Settings of the quiz screensaver"
LangString LinkDescription ${LANG_JAPANESE} "クイズ スクリーンセーバーの設定"
LangString Running ${LANG_ENGLISH} "モンテラ is running: the screensaver or its settings window is open.$\r$\n$\r$\nClose it, then choose Retry."
LangString Running ${LANG_JAPANESE} "モンテラが動いています (スクリーンセーバーか設定ウィンドウが開いています)。$\r$\n$\r$\n閉じてから [再試行] を選んでください。"
LangString NothingChanged ${LANG_ENGLISH} "モンテラ is running; nothing was changed."
LangString NothingChanged ${LANG_JAPANESE} "モンテラが動いているため、何も変更しませんでした。"
LangString Kept ${LANG_ENGLISH} "Your settings, answer history and question sets were kept in $INSTDIR. Delete that folder to remove them too."
LangString Kept ${LANG_JAPANESE} "設定・回答履歴・問題集は $INSTDIR に残しました。これらも消すにはこのフォルダーを削除してください。"

; Sets $0 to 1 while the show runs or a program file cannot be replaced, else
; to 0. The show is found by its window; the settings window and the preview
; have no such window but keep montera.scr open, and a running program cannot
; be opened for writing.
!macro DEFINE_IS_RUNNING un
    Function ${un}IsRunning
        FindWindow $0 "" "${SHOW_TITLE}"
        ${If} $0 <> 0
            StrCpy $0 1
            Return
        ${EndIf}
        ${ForEach} $1 0 1 + 1
            ${If} $1 = 0
                StrCpy $2 "$INSTDIR\montera.scr"
            ${Else}
                StrCpy $2 "$INSTDIR\montera-sets.exe"
            ${EndIf}
            ${If} ${FileExists} $2
                ClearErrors
                ; Opened for appending, so that nothing is written or cut.
                FileOpen $3 $2 a
                ${If} ${Errors}
                    StrCpy $0 1
                    Return
                ${EndIf}
                FileClose $3
            ${EndIf}
        ${Next}
        StrCpy $0 0
    FunctionEnd

    ; Returns once モンテラ no longer runs, or stops with nothing changed
    ; when the user cancels; a silent run cancels at once.
    Function ${un}WaitUntilClosed
        ${Do}
            Call ${un}IsRunning
            ${If} $0 = 0
                Return
            ${EndIf}
            MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(Running)" /SD IDCANCEL IDRETRY retry
            SetErrorLevel 2
            ; In a page's callback, on the main thread, Quit ends the
            ; installer; in a section Abort does, with a line in the log.
            ${If} $WaitingIn == "page"
                Quit
            ${EndIf}
            DetailPrint "$(NothingChanged)"
            Abort
        retry:
        ${Loop}
    FunctionEnd

    ; Asked when the page that starts the work is left, so that Cancel
    ; closes the installer before its progress page. The section asks again,
    ; as pages are skipped when silent.
    Function ${un}AskToClose
        StrCpy $WaitingIn "page"
        Call ${un}WaitUntilClosed
        StrCpy $WaitingIn ""
    FunctionEnd
!macroend
!insertmacro DEFINE_IS_RUNNING ""
!insertmacro DEFINE_IS_RUNNING "un."

Section "モンテラ" SecProgram
    ; Before anything is copied: a folder half replaced under a running
    ; program would start neither the old nor the new one.
    Call WaitUntilClosed

    SetOverwrite on
    !insertmacro MONTERA_INSTALL_PROGRAM
    ; The bundled sets are the user's to edit: a set already there is kept.
    SetOverwrite off
    !insertmacro MONTERA_INSTALL_SETS
    SetOverwrite on

    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    SetShellVarContext current
    CreateShortCut "${SETTINGS_LINK}" "$INSTDIR\montera.scr" "/c" "$INSTDIR\montera.scr" 0 \
        SW_SHOWNORMAL "" "$(LinkDescription)"

    ; Windows starts the screensaver from the short form of its path, as its
    ; own Screen Saver settings write it; the long one where there is none.
    ClearErrors
    GetFullPathName /SHORT $0 "$INSTDIR\montera.scr"
    ${If} ${Errors}
    ${OrIf} $0 == ""
        StrCpy $0 "$INSTDIR\montera.scr"
    ${EndIf}
    WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $0
    WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
    ; SPI_SETSCREENSAVEACTIVE with SPIF_UPDATEINIFILE | SPIF_SENDCHANGE, so
    ; that the change counts without signing out.
    System::Call "user32::SystemParametersInfoW(i 17, i 1, p 0, i 3)"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "モンテラ"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${MONTERA_VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\montera.scr,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    SectionGetSize ${SecProgram} $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what the installer put in place. The settings file, the answer
; history and every question set stay, the bundled ones too: the user may
; have edited them, and installing again would not bring the edits back.
Section "Uninstall"
    Call un.WaitUntilClosed

    ; The screensaver is turned off only while it is still this one, in the
    ; short or the long form of the path, in any case.
    ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    StrCpy $1 0
    ${If} $0 != ""
        ${If} $0 == "$INSTDIR\montera.scr"
            StrCpy $1 1
        ${ElseIf} ${FileExists} $0
            GetFullPathName /SHORT $2 $0
            GetFullPathName /SHORT $3 "$INSTDIR\montera.scr"
            ${If} $2 != ""
            ${AndIf} $2 == $3
                StrCpy $1 1
            ${EndIf}
        ${EndIf}
    ${EndIf}
    ${If} $1 = 1
        DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${EndIf}

    !insertmacro MONTERA_REMOVE_PROGRAM
    Delete "$INSTDIR\uninstall.exe"
    SetShellVarContext current
    Delete "${SETTINGS_LINK}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"

    RMDir "$INSTDIR"
    ${If} ${FileExists} "$INSTDIR\*.*"
        DetailPrint "$(Kept)"
        ${IfNot} ${Silent}
            MessageBox MB_OK|MB_ICONINFORMATION "$(Kept)"
        ${EndIf}
    ${EndIf}
SectionEnd
