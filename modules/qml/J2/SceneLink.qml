import QtQuick

// What the dialogs need of the scene, by type: the keys the system-wide
// capture reports, whether the mouse has recoil weapons, the scene's
// notices and dialogs, and the program's automatic profiles.
QtObject {
    // The mouse has recoil weapons (the gun functions are offered).
    property bool gunFunctions
    // The program's window control ("ui_Ctl", a context property the scene
    // cannot name a type for), which keeps the automatic profiles' rules.
    property var windowControl: null
    // The program keeps automatic profiles (it gave the window control).
    readonly property bool autoProfiles: windowControl !== null

    // A key reported by the system-wide capture (the scene's msg_KB).
    signal keyReported(bool isDown, int usbCode)
    // A notice for the window, and a dialog to open by name ("macro").
    signal noticeWanted(string text, bool failure)
    signal dialogWanted(string name)

    // The rules as the program reads them:
    // { on, notice, fallback, rules: [{ program, profile }] }.
    function autoProfileRules(): var {
        return windowControl ? windowControl.autoProfileRules()
                             : ({ on: false, notice: "", fallback: -1, rules: [] })
    }
    // The applications with windows open now: [{ title, program }].
    function openApplications(): var {
        return windowControl ? windowControl.openApplications() : []
    }
    // Changes a rule ("add", "remove" or "fallback"): "" when stored, else
    // why not.
    function changeAutoProfile(action: string, program: string, profile: int): string {
        return windowControl ? String(windowControl.changeAutoProfile(action, program, profile)) : ""
    }
}
