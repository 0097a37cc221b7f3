pragma ComponentBehavior: Bound
import QtQuick
import modules.qml
import "basic/formulas.mjs" as Formulas
import "basic/flows.mjs" as Flows

// The whole interface. The program calls the scene functions below; the
// scene reaches the program through the controller ("ui_View"), the window
// control ("ui_Ctl") and the device link ("hid").
//
// Key, DPI and lighting edits are held in their pages and marked unsaved;
// lift-off edits are written at once and sent by Save; the pointer options
// are written and applied at once. saveChanges() and loadProfilePages() are
// the two flows that send a page set to the mouse.
Item {
    id: mainIten
    objectName: "mainIten"

    width: 1024
    height: 640
    visible: false

    property bool isColorful: false
    property bool isGun: true
    property string icType: "553"
    property string language: Formulas.defaultLanguage
    property string url: "https://support.braxtel.example/r770"
    property bool isPownOn: false
    property int skin_No: 1

    // A key or a mouse button reported by the system-wide capture.
    signal msg_KB(bool isDown, int usbCode)
    signal msg_MS(bool isDown, int buttonCode, int x, int y)

    // What the program publishes to the scene, as context properties (which
    // the linter cannot see; everything else reaches them through these).
    // qmllint disable unqualified
    readonly property Controller uiView: typeof ui_View !== "undefined" ? ui_View : null
    readonly property var windowControl: typeof ui_Ctl !== "undefined" ? ui_Ctl : null
    readonly property var hidLink: typeof hid !== "undefined" ? hid : null
    // qmllint enable unqualified

    property string title
    property int keyCount: 8
    // The start-up logo has given way to the panels.
    property bool started: false
    // Flows running now (save, profile switch, factory reset).
    property int flowDepth: 0
    // The key under the pointer, on the key panel or the mouse picture.
    property int hoveredKey: -1

    readonly property bool locked: protectTimer.running || flowDepth > 0
    readonly property bool unsaved: keyPanel.dirty || dpiPanel.dirty || lightPanel.dirty || liftOffPanel.dirty
    // The program disables the view while no mouse is accepted.
    readonly property bool deviceAbsent: uiView !== null && uiView.inputEnabled === false && !locked
    // Discovery found no mouse: the window shows what to connect.
    property bool mouseMissing: false
    property bool textsRead: false
    readonly property string version: Qt.application.version
    // The profile in use, for the tray and automatic profiles.
    readonly property int profileInUse: profileStore.current
    readonly property string profileInUseName: profileStore.currentIndex >= 0
                                               ? profileStore.names[profileStore.currentIndex] : ""

    // --- Scene functions the program calls ------------------------------------

    function initUI() {
        setProtectUI(1000)
        visible = true
        if (!isPownOn)
            firstInit()
        // The mouse reports stages from 1; 0 means it did not say.
        const stage = Formulas.toInt(uiView.mouseGetCurrentDPI(), 0)
        if (stage > 0)
            dpiPanel.activeStage = stage - 1
    }

    function run() {
    }

    // The tray's Quit: true when nothing would be lost; otherwise the
    // question opens and its answer ends the program (or not).
    function requestQuit() {
        if (!unsaved || mouseMissing)
            return true
        quitDialog.open()
        return false
    }

    function showConnectState(shown) {
        if (shown && !textsRead)
            readTexts()
        mouseMissing = shown
        if (shown)
            visible = true
    }

    function detectKeyboard(isDown, usbCode) {
        msg_KB(Formulas.toBool(isDown), Formulas.toInt(usbCode))
    }

    function detectMouse(isDown, buttonCode, x, y) {
        msg_MS(Formulas.toBool(isDown), Formulas.toInt(buttonCode), Formulas.toInt(x), Formulas.toInt(y))
    }

    // Locks the scene for `interval` milliseconds (0: unlocks at once).
    function setProtectUI(interval) {
        protectTimer.stop()
        protectTimer.interval = Math.max(0, Formulas.toInt(interval))
        uiView.setEnabled(false)
        protectTimer.start()
    }

    function setCurrentDPI(dpiValue) {
        const stage = Formulas.toInt(dpiValue)
        if (stage !== 0)
            dpiPanel.activeStage = stage - 1
    }

    // --- First initialisation ---------------------------------------------------

    function firstInit() {
        isColorful = Formulas.toBool(uiView.getGlobalData("mouse/isColorful"))
        icType = Formulas.toText(uiView.getGlobalData("mouse/icType"))
        isGun = Formulas.toBool(uiView.getGlobalData("mouse/isGun"))
        keyCount = Flows.readShownKeys(uiView)
        url = Formulas.toText(uiView.getGlobalData("common/url")) || url
        title = Formulas.toText(uiView.getGlobalData("common/name"))

        // hid560 mice start on device profile 1.
        if (icType === "560" && Formulas.toInt(uiView.mouseReadCurrentProfile()) !== 1 && hidLink)
            hidLink.hid560_02H_SetCurrentProfile(1)

        if (!textsRead)
            readTexts()

        profileStore.init(Lang.profile[Lang.ProfileText.Standard])
        // A missing or unusable number starts on a usable profile; the file
        // keeps what it holds until the user switches profile.
        profileStore.current = profileStore.startNumber(uiView.getGlobalData("mouse/profileNo"))
        uiView.setCurrentProfile(profileStore.current)

        // After the profile is set, so that it reads the profile in use.
        liftOffPanel.init(false)
        macroStore.init()
        gunStore.init()
        keyPanel.init(false)
        dpiPanel.init(false)
        lightPanel.init(false)
        pointerStore.init(false)
        isPownOn = true
    }

    // The language file's texts; the connect state needs them before a
    // mouse is accepted.
    function readTexts() {
        language = Formulas.languageOf(uiView.getGlobalData("common/language"))
        for (const group of Lang.order)
            Lang.setGroup(group, uiView.getLangStrings(group, language))
        textsRead = true
    }

    // --- Flows --------------------------------------------------------------------

    // Runs `work` with the scene locked. The device calls block the GUI
    // thread; the link lets events through while it waits, and the overlay
    // keeps the user from starting anything meanwhile. The controller learns
    // where the flow begins and ends, so that each of the mouse's profile
    // images goes to it once, with every change of the flow.
    // The keyboard goes back to the control that had it.
    function runLocked(work) {
        const focused = flowDepth === 0 ? Window.activeFocusItem : null
        flowDepth += 1
        uiView.setEnabled(false)
        uiView.mouseBeginFlow()
        try {
            work()
        } finally {
            uiView.mouseEndFlow()
            flowDepth -= 1
            if (!locked)
                uiView.setEnabled(true)
            if (focused)
                restoreFocus(focused)
        }
    }

    // A field being edited commits its text, as when a click takes the
    // focus away; the focus stays where it is.
    function commitEdit() {
        const focused = Window.activeFocusItem
        if (!focused)
            return
        mainIten.forceActiveFocus()
        focused.forceActiveFocus()
    }

    function restoreFocus(item: Item) {
        if (item && item.visible && item.enabled)
            item.forceActiveFocus()
    }

    // A short notice in the window; a failure stays until clicked.
    function notify(text: string, failure: bool) {
        notice.show(text, failure)
    }

    // Tells that the files hold the edits (with `success`), or that they
    // could not be written.
    function reportWritten(success: string) {
        if (!Formulas.toBool(uiView.flushSettings()))
            notify(Lang.notice[Lang.NoticeText.NotWritten], true)
        else if (success.length > 0)
            notify(success, false)
    }

    function profileName(number: int): string {
        return profileStore.names[profileStore.entries.findIndex(e => e.number === number)] ?? String(number)
    }

    // Save: every page with unsaved edits stores and sends them, in order.
    function saveChanges() {
        const edits = unsaved
        runLocked(() => {
            if (keyPanel.dirty)
                keyPanel.save()
            if (dpiPanel.dirty)
                dpiPanel.save()
            if (lightPanel.dirty)
                lightPanel.save()
            if (liftOffPanel.dirty)
                liftOffPanel.save()
        })
        if (edits)
            reportWritten(Lang.notice[Lang.NoticeText.Saved])
    }

    // Reads the profile in use into the pages; with `send` the whole profile
    // goes to the mouse, the macros its keys run first.
    function loadProfilePages(send) {
        runLocked(() => {
            keyPanel.init(false)
            liftOffPanel.init(false)
            dpiPanel.init(false)
            lightPanel.init(false)
            pointerStore.init(false)
            if (send) {
                const profile = Flows.readProfile(uiView, lightPanel.colourful)
                Flows.storeProfile(uiView, profile)
                Flows.sendProfile(uiView, profile, macroStore.nameLists)
            }
        })
    }

    // The profile selector's choice: with unsaved edits, the user confirms
    // first that they may be dropped.
    function requestProfile(number) {
        if (number === profileStore.current)
            return
        if (unsaved)
            switchDialog.open({ profileNumber: number })
        else
            switchProfile(number)
    }

    function switchProfile(number) {
        if (!profileStore.hasNumber(number) || number === profileStore.current)
            return
        Flows.useProfile(uiView, number)
        profileStore.current = number
        loadProfilePages(true)
        reportWritten(Lang.notice[Lang.NoticeText.InUse].replace("%1", profileName(number)))
    }

    // Automatic profiles: the profile tied to the application in front, put
    // in use by the selector's own flow when nothing in the window holds it
    // back. True when it is in use afterwards.
    function autoSwitchProfile(wanted: var): bool {
        const number = Formulas.toInt(wanted, -1)
        if (!isPownOn || !profileStore.hasNumber(number) || outsideChangeBlocked() !== Controller.Allowed)
            return false
        switchProfile(number)
        return profileStore.current === number
    }

    // Factory reset of the profile in use. The recoil defaults come back
    // first, so that the key assignment sent with the profile carries their
    // fire periods; then the weapons themselves go to the mouse.
    function resetFactory() {
        runLocked(() => {
            uiView.resetProfile(profileStore.current)
            gunStore.restoreDefaults()
            loadProfilePages(true)
            uiView.mouseSetCurrentDPI(2)
            dpiPanel.activeStage = 1
            gunStore.sendAll()
        })
        reportWritten(Lang.notice[Lang.NoticeText.FactoryReset].replace("%1", profileName(profileStore.current)))
    }

    // --- Changes made outside the window (r770ctl, through the program) -----------

    // Whether such a change must wait (Busy: a flow is sending) or is
    // refused (Unsaved: it would mix with edits the pages hold); Allowed
    // when it can be made now. A Controller.OutsideChange value.
    function outsideChangeBlocked(): int {
        if (flowDepth > 0)
            return Controller.Busy
        if (unsaved)
            return Controller.Unsaved
        // A dialog that holds a choice about to be applied (a key's function,
        // a profile operation, a confirmation) would act on what it read
        // before the change.
        return keyDialog.opened || profileDialog.opened || resetDialog.opened || switchDialog.opened
                ? Controller.Dialog : Controller.Allowed
    }

    // The pages named read the files again, sending nothing, as at first
    // initialisation: "keys", "liftOff", "dpi", "lighting", "pointer", or
    // "profile" for another profile in use (all of them).
    function showOutsideChanges(pages: var) {
        if (!isPownOn)
            return
        const named = Formulas.asList(pages).map(String)
        const all = named.includes("profile")
        if (all)
            profileStore.current = profileStore.startNumber(uiView.getGlobalData("mouse/profileNo"))
        if (all || named.includes("keys"))
            keyPanel.init(false)
        if (all || named.includes("liftOff"))
            liftOffPanel.init(false)
        if (all || named.includes("dpi"))
            dpiPanel.init(false)
        if (all || named.includes("lighting"))
            lightPanel.init(false)
        if (all || named.includes("pointer"))
            pointerStore.init(false)
        if (named.includes("macros"))
            macroStore.init()
    }

    // --- Dialogs --------------------------------------------------------------------

    function openKeyDialog(index) {
        if (locked || index < 0 || index >= keyCount || keyPanel.isLocked(index))
            return
        keyDialog.open({ keyIndex: index })
    }

    // Opens a dialog by name: "macro", "gun", "system", "profile", "reset".
    function openDialog(name) {
        const loaders = { macro: macroDialog, gun: gunDialog, system: systemDialog,
                          profile: profileDialog, reset: resetDialog }
        if (!locked && loaders[name])
            loaders[name].open()
    }

    function languageChoices() {
        const codes = typeof uiView.getLanguageList === "function" ? uiView.getLanguageList() : []
        const choices = []
        for (const code of codes) {
            const own = uiView.getLangStrings("main", code)
            const name = own.length > Lang.MainText.LanguageName ? String(own[Lang.MainText.LanguageName]) : ""
            choices.push({ code: String(code), name: name.length > 0 ? name : String(code) })
        }
        return choices
    }

    // --- Data kept outside the dialogs ----------------------------------------------

    SceneLink {
        id: sceneLink
        gunFunctions: mainIten.isGun
        windowControl: mainIten.windowControl
        onNoticeWanted: (text, failure) => mainIten.notify(text, failure)
        onDialogWanted: name => mainIten.openDialog(name)
    }
    onMsg_KB: (isDown, usbCode) => sceneLink.keyReported(isDown, usbCode)

    ProfileStore {
        id: profileStore
        uiView: mainIten.uiView
    }
    MacroStore {
        id: macroStore
        objectName: "macroStore"
        uiView: mainIten.uiView
        keys: keyPanel
    }
    GunStore {
        id: gunStore
        uiView: mainIten.uiView
        // Save lights only when a key runs the weapon whose period changed.
        onPeriodsEdited: keyPanel.dirty = keyPanel.heldChanges()
    }
    PointerStore {
        id: pointerStore
        uiView: mainIten.uiView
    }

    // Files the user chose, written or read by the program.
    Connections {
        target: mainIten.uiView
        ignoreUnknownSignals: true
        function onFileDone(operation: string, subject: var, ok: bool, path: string) {
            const file = decodeURIComponent(String(path))
            const texts = {
                exportProfile: [Lang.NoticeText.Exported, Lang.NoticeText.NotExported],
                importProfile: [Lang.NoticeText.ProfileImported, Lang.NoticeText.ProfileNotImported],
                exportMacro: [Lang.NoticeText.MacroExported, Lang.NoticeText.MacroNotExported],
                importMacro: [Lang.NoticeText.MacroImported, Lang.NoticeText.MacroNotImported]
            }[operation]
            if (!texts)
                return
            const name = operation === "exportProfile" ? mainIten.profileName(Formulas.toInt(subject))
                                                       : String(subject)
            const text = Lang.notice[ok ? texts[0] : texts[1]]
            // An import names the file; an export what went and where.
            mainIten.notify(operation.startsWith("import") ? text.replace("%1", file)
                                                           : text.replace("%1", name).replace("%2", file), !ok)
        }
    }

    Timer {
        id: protectTimer
        onTriggered: {
            mainIten.started = true
            if (mainIten.flowDepth === 0)
                mainIten.uiView.setEnabled(true)
        }
    }

    Shortcut {
        sequence: "Ctrl+S"
        enabled: !mainIten.locked && !mainIten.mouseMissing
        onActivated: {
            mainIten.commitEdit()
            mainIten.saveChanges()
        }
    }

    // --- The window ---------------------------------------------------------------------

    Environment {
        anchors.fill: parent
        title: mainIten.title
        skinNo: mainIten.skin_No
        onDragged: (dx, dy) => {
            if (mainIten.windowControl) {
                mainIten.windowControl.onXChanged(dx)
                mainIten.windowControl.onYChanged(dy)
            }
        }
    }

    Menu_Up {
        id: menuUp
        objectName: "menuUp"
        anchors.right: parent.right
        anchors.rightMargin: 10
        y: (Theme.titleBarHeight - Theme.controlHeight) / 2
        height: Theme.controlHeight
        visible: mainIten.started || mainIten.mouseMissing
        enabled: !mainIten.deviceAbsent
        windowButtonsOnly: mainIten.mouseMissing
        profileNames: profileStore.names
        profileIndex: profileStore.currentIndex
        url: mainIten.url
        version: mainIten.version
        onProfileChosen: index => mainIten.requestProfile(profileStore.numberAt(index))
        onHelpWanted: {
            languages = mainIten.languageChoices()
            chosenLanguage = Formulas.toText(mainIten.uiView.getGlobalData("common/language"))
        }
        onLanguageChosen: code => {
            mainIten.uiView.setGlobalData("common/language", code)
            chosenLanguage = code
        }
        onMinimiseClicked: if (mainIten.windowControl) mainIten.windowControl.onMinimize()
        onCloseClicked: if (mainIten.windowControl) mainIten.windowControl.onClose()
    }

    Item {
        id: panels
        objectName: "panels"
        x: 0
        y: Theme.titleBarHeight
        width: parent.width
        height: parent.height - y
        opacity: mainIten.started ? (mainIten.deviceAbsent ? Theme.disabledOpacity : 1) : 0
        visible: opacity > 0
        enabled: !mainIten.deviceAbsent && !mainIten.mouseMissing
        Behavior on opacity { NumberAnimation { duration: Theme.calm } }

        KeyMatrix {
            id: keyPanel
            objectName: "keyPanel"
            x: Theme.margin
            y: Theme.margin
            width: 248
            height: 496
            uiView: mainIten.uiView
            gunPeriods: gunStore.activePeriods
            gunNames: gunStore.activeNames
            keyCount: mainIten.keyCount
            highlightedKey: mainIten.hoveredKey
            onKeyHovered: index => mainIten.hoveredKey = index
            onKeyClicked: index => mainIten.openKeyDialog(index)
        }

        Frame {
            id: pictureCard
            x: 280
            y: Theme.margin
            width: 420
            height: 392
            padding: Theme.gap
            headerHeight: 12

            Mouse {
                id: mouseMain
                objectName: "mouseMain"
                anchors.fill: parent
                anchors.bottomMargin: 24
                keyCount: mainIten.keyCount
                skinNo: mainIten.skin_No
                highlightedKey: mainIten.hoveredKey
                keyTexts: keyPanel.codes.map((codes, index) => keyPanel.description(index))
                onKeyHovered: index => mainIten.hoveredKey = index
                onKeyClicked: index => mainIten.openKeyDialog(index)
            }

            Text {
                anchors.bottom: parent.bottom
                anchors.horizontalCenter: parent.horizontalCenter
                text: dpiPanel.activeValue > 0
                      ? Lang.dpiSetting[Lang.DpiText.Stage] + " " + (dpiPanel.activeStage + 1) + "  \u00B7  "
                        + dpiPanel.activeValue + " " + Lang.dpiSetting[Lang.DpiText.Dpi]
                      : ""
                color: Theme.textSecondary
                font.pixelSize: Theme.labelSize
            }
        }

        LiftOff {
            id: liftOffPanel
            objectName: "liftOffPanel"
            x: 280
            y: 420
            width: 420
            height: 92
            uiView: mainIten.uiView
        }

        DpiSetting {
            id: dpiPanel
            objectName: "dpiPanel"
            x: 716
            y: Theme.margin
            width: 292
            height: 252
            uiView: mainIten.uiView
            onRefused: reason => mainIten.notify(reason, true)
        }

        LightControl {
            id: lightPanel
            objectName: "lightPanel"
            x: 716
            y: 280
            width: 292
            height: 232
            uiView: mainIten.uiView
            colourful: mainIten.isColorful
        }

        Row {
            id: editors
            x: Theme.margin
            y: 528
            spacing: 10

            Button {
                objectName: "macroButton"
                height: Theme.buttonHeight
                text: Lang.main[Lang.MainText.MacroEditor]
                onClicked: mainIten.openDialog("macro")
            }
            Button {
                objectName: "gunButton"
                height: Theme.buttonHeight
                visible: mainIten.isGun
                text: Lang.main[Lang.MainText.GunEditor]
                onClicked: mainIten.openDialog("gun")
            }
            Button {
                objectName: "systemButton"
                height: Theme.buttonHeight
                text: Lang.main[Lang.MainText.SystemSetting]
                onClicked: mainIten.openDialog("system")
            }
            Button {
                objectName: "profileButton"
                height: Theme.buttonHeight
                text: Lang.main[Lang.MainText.Config]
                onClicked: mainIten.openDialog("profile")
            }
        }

        Row {
            anchors.right: parent.right
            anchors.rightMargin: Theme.margin
            y: 528
            spacing: 10

            Button {
                objectName: "resetButton"
                height: Theme.buttonHeight
                width: Math.max(104, implicitWidth)
                kind: "outline"
                text: Lang.main[Lang.MainText.Reset]
                onClicked: mainIten.openDialog("reset")
            }
            Button {
                objectName: "saveButton"
                height: Theme.buttonHeight
                width: Math.max(116, implicitWidth)
                kind: mainIten.unsaved ? "primary" : "normal"
                bold: true
                marked: mainIten.unsaved
                text: Lang.main[Lang.MainText.Save]
                onClicked: mainIten.saveChanges()
            }
        }
    }

    // The start-up logo, until the first lock ends.
    Item {
        anchors.fill: parent
        anchors.topMargin: Theme.titleBarHeight
        opacity: mainIten.started ? 0 : 1
        visible: opacity > 0
        Behavior on opacity { NumberAnimation { duration: Theme.calm } }

        Picture {
            id: startLogo
            anchors.centerIn: parent
            width: 240
            height: 240
            file: "qrc:/index/modules/img/skin" + mainIten.skin_No + "/index/startlogo.png"
            sourceSize.width: 480
            sourceSize.height: 480
        }
        Rectangle {
            anchors.centerIn: parent
            width: 120
            height: 120
            radius: 60
            color: "transparent"
            border.width: 10
            border.color: Theme.accent
            visible: startLogo.status !== Image.Ready
        }
    }

    // Shown while no mouse is accepted.
    Rectangle {
        anchors.horizontalCenter: parent.horizontalCenter
        y: Theme.titleBarHeight + 8
        width: absentText.implicitWidth + 32
        height: Theme.controlHeight
        radius: 16
        color: Theme.card
        border.width: 1
        border.color: Theme.error
        visible: mainIten.started && mainIten.deviceAbsent && !mainIten.mouseMissing
        Text {
            id: absentText
            anchors.centerIn: parent
            text: Lang.main[Lang.MainText.MouseDisconnected]
            color: Theme.text
            font.pixelSize: Theme.labelSize
        }
    }

    ConnectState {
        objectName: "connectState"
        anchors.fill: parent
        anchors.topMargin: Theme.titleBarHeight
        visible: mainIten.mouseMissing
    }

    // --- Dialogs: their views are loaded when opened ------------------------------------

    DialogLoader {
        id: keyDialog
        objectName: "keyDialog"
        anchors.fill: parent
        view: Qt.resolvedUrl("J2/KeyAssigment.qml")
        properties: ({ panel: keyPanel, macros: macroStore, scene: sceneLink })
    }

    DialogLoader {
        id: macroDialog
        objectName: "macroDialog"
        anchors.fill: parent
        view: Qt.resolvedUrl("J2/MacroEditor.qml")
        properties: ({ store: macroStore, keySource: sceneLink })
    }

    DialogLoader {
        id: gunDialog
        objectName: "gunDialog"
        anchors.fill: parent
        view: Qt.resolvedUrl("J2/GunControl.qml")
        properties: ({ store: gunStore, skinNo: mainIten.skin_No })
    }

    DialogLoader {
        id: systemDialog
        objectName: "systemDialog"
        anchors.fill: parent
        view: Qt.resolvedUrl("J2/SystemSetting.qml")
        properties: ({ store: pointerStore })
    }

    DialogLoader {
        id: profileDialog
        objectName: "profileDialog"
        anchors.fill: parent
        view: Qt.resolvedUrl("J2/Profile.qml")
        properties: ({ store: profileStore, scene: sceneLink })
    }

    DialogLoader {
        id: resetDialog
        objectName: "resetDialog"
        anchors.fill: parent
        view: Qt.resolvedUrl("J2/ConfirmDialog.qml")
        // "Reset factory setting", then what else goes back: the recoil
        // weapons, which every profile shares.
        properties: ({ title: Lang.main[Lang.MainText.Reset], message: Lang.main[Lang.MainText.ResetFactory] + "\n" + Lang.main[Lang.MainText.RecoilWeaponsToo] })
        onAccepted: {
            close()
            mainIten.resetFactory()
        }
    }

    DialogLoader {
        id: switchDialog
        objectName: "switchDialog"
        anchors.fill: parent
        view: Qt.resolvedUrl("J2/ConfirmDialog.qml")
        properties: ({ title: Lang.main[Lang.MainText.UnsavedChanges], message: Lang.main[Lang.MainText.SwitchDropsChanges], okText: Lang.window[Lang.WindowText.SaveAndSwitch],
                       alternativeText: Lang.window[Lang.WindowText.SwitchWithoutSaving] })
        onAccepted: {
            const number = item.profileNumber
            close()
            mainIten.saveChanges()
            if (!mainIten.unsaved)
                mainIten.switchProfile(number)
        }
        onAlternative: {
            const number = item.profileNumber
            close()
            mainIten.switchProfile(number)
        }
    }

    // Quit from the tray with unsaved edits.
    DialogLoader {
        id: quitDialog
        objectName: "quitDialog"
        anchors.fill: parent
        view: Qt.resolvedUrl("J2/ConfirmDialog.qml")
        properties: ({ title: Lang.window[Lang.WindowText.Quit], message: Lang.window[Lang.WindowText.QuitQuestion], okText: Lang.main[Lang.MainText.Save],
                       alternativeText: Lang.window[Lang.WindowText.Discard] })
        onAccepted: {
            close()
            mainIten.saveChanges()
            if (!mainIten.unsaved && mainIten.windowControl)
                mainIten.windowControl.quit()
        }
        onAlternative: {
            close()
            if (mainIten.windowControl)
                mainIten.windowControl.quit()
        }
    }

    Notice {
        id: notice
        objectName: "notice"
        anchors.horizontalCenter: parent.horizontalCenter
        y: Theme.titleBarHeight + 6
        z: 1
    }

    BusyIndicator {
        anchors.fill: parent
        running: mainIten.locked && mainIten.visible
    }
}
