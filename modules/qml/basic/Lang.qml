pragma Singleton
import QtQuick
import "keycodes.mjs" as KeyCodes

// The scene's texts, group by group: built-in English defaults, replaced at
// start by the language file's texts (position by position; a position the
// file leaves empty keeps its default, so no label is ever blank).
QtObject {
    // The positions of the texts in each group (the language files' layout),
    // by name: Lang.main[Lang.MainText.Save]. Values count from 0 in order.
    enum MainText { // "main"
        Editor, MacroEditor, GunEditor, LiftOff, Config,
        Reset, ResetFactory, Cancel, Ok, SystemSetting,
        Save, Version, Language, LanguageNextStart, Support,
        Millimetres, MouseDisconnected, UnsavedChanges, On, LanguageName,
        RecoilWeaponsToo, Help, SwitchDropsChanges
    }
    enum KeyMatrixText { // "keyMatrix"
        Key, KeyFunction, ClickToChange, LeftButtonStays, Milliseconds,
        MouseKeepsFunction
    }
    enum KeyAssigmentText { // "keyAssigment"
        Key, MouseFunction, LeftKey, MiddleKey, RightKey,
        ForwardKey, BackKey, DoubleFire, FireFunction, KeyValue,
        ClickInput, Rate, Times, Endless, GroupFunction,
        MediaFunction, MacroFunction, MacroEditor, MacroRunsOnce, MacroRunsUntilAnyButton,
        MacroRunsUntilReleased, DpiFunction, DpiPlus, DpiMinus, DpiLoop,
        WindowsFunction, ShortcutFunction, Player, Next, Previous,
        Stop, Mute, PlayPause, VolumePlus, VolumeMinus,
        MyPc, Index, Search, Max, Min,
        Desktop, Run, New, Cut, Copy,
        Paste, Save, Print, Find, Redo,
        Undo, SelectAll, GunFunction, OneGun, TwoGun,
        ThreeGun, SniperKey, FixedFunction, PressAKey, PressKeysTogether,
        KeyCannotBeAssigned, MacroCannotBeSent, NoMacrosYet, ModifiersAndTwoKeys, ChooseFunction,
        NoMacroSlot
    }
    enum DpiText { // "dpiSetting"
        Dpi, Stages, Stage, Spare3, Spare4
    }
    enum LightText { // "lightControl"
        Light, Static, Breath, Neon, Off,
        Speed, Color, Brightness, Twinkling, Wave,
        Gliding, FingerMoving, VerticalFlipping, YoYo, Spotlight,
        BreathLoop, Effect, Red, Green, Blue
    }
    enum MacroText { // "macroEditor"
        Title, MacroName, New, Delete, Action,
        StopRecord, Times, Ok, StartRecord, Delay,
        DeleteStep, Import, Export, InsertDelay, InsertKey,
        InsertLeftKey, InsertMiddleKey, InsertRightKey, PressKeyToInsert, NameTaken,
        NameRefused, NotAStep, NoSuchKey, DelayTooLong, MacroFull,
        TooManyMacros, NotSentDelay, NotSentStep, NotSentLength, NotSaved,
        Recording, Milliseconds, Bytes, RunsOnKey, DoubleClickStep,
        CreateMacro, NoStepsYet, NotDeleted, DeleteQuestion, Steps,
        TooManySteps, Press, Release, DoubleClickName, NotOnAnyKey,
        NotSentTimes
    }
    enum SystemText { // "systemSetting"
        Title, MouseSpeed, DoubleClickSpeed, Slow, Fast,
        ScrollSpeed, NumberOfRows, ScrollOneScreen, Lines, ChangesApplyAtOnce,
        NotAvailable, Spare11, Spare12, Spare13, Spare14
    }
    enum GunText { // "gunControl"
        Title, Gun, SelectGun, CursorAdjust, XAxis,
        YAxis, FireAdjust, Rate, Times, Endless,
        Name, Milliseconds
    }
    enum ProfileText { // "profile"
        Title, New, Import, Delete, Export,
        Standard, InUse, AtMostSix, CannotDelete, Profile,
        TiedApplications, Spare11, OpenApplications, ProgramName, Tie,
        Remove, Fallback, X11Only, RulesDamaged, AutomaticOff
    }
    enum WindowText { // "window"
        ConnectTitle, ConnectIntro, ConnectCable, ConnectUdev, ConnectReport,
        Quit, QuitQuestion, Discard, SaveAndSwitch, SwitchWithoutSaving
    }
    enum NoticeText { // "notice"
        Saved, NotWritten, InUse, FactoryReset, Exported,
        NotExported, ProfileImported, ProfileNotImported, MacroExported, MacroNotExported,
        MacroImported, MacroNotImported, Deleted, DeleteQuestion, Minimise,
        Close, KeyN, MacroN, RecoilN, TypeValueRange,
        Busy
    }

    // The groups in the order they are read at start. "other" feeds the
    // program's tray notices; the scene keeps no texts of it.
    readonly property var order: ["main", "keyMatrix", "keyAssigment", "dpiSetting",
        "lightControl", "macroEditor", "systemSetting", "gunControl", "profile", "keyCode", "other",
        "window", "notice"]

    // Every group's texts by name; the properties below give each group.
    property var texts: ({
        main: ["Editor", "Macro Editor", "Gun Editor", "LOD", "Config", "Reset",
            "Reset factory setting", "Cancel", "OK", "System setting", "Save",
            "Version", "Language", "The new language is used from the next start.", "Support",
            "mm", "Mouse disconnected", "Unsaved changes", "On", "English",
            "The recoil weapons, which every profile shares, return to their defaults too.", "Help",
            "Switching the profile drops the changes that are not saved."],
        keyMatrix: ["Key ", "Key Function", "Click a key to change what it does",
            "The only left button stays as it is", "ms",
            "The mouse keeps its own function on this key"],
        keyAssigment: ["Key ", "Mouse Function", "Left Key", "Middle Key", "Right Key",
            "Forward Key", "Back Key", "Double Fire", "Fire Function", "Key Value", "Click Input",
            "Rate", "Times", "Endless", "Group Function", "Media Function", "Macro Function",
            "Macro Editor", "Macro runs one-time after pressing the button",
            "Macro runs endless loop until any button is pressed",
            "Macro runs endless loop until button is released", "DPI Function", "DPI+", "DPI-",
            "DPI LOOP", "Windows Function", "Shortcut Function", "Player", "Next", "Previous", "Stop",
            "Mute", "Play/Pause", "Volume+", "Volume-", "My PC", "Index", "Search", "Max", "Min",
            "Desktop", "Run", "New", "Cut", "Copy", "Paste", "Save", "Print", "Find", "Redo", "Undo",
            "Select All", "Gun Function", "One Gun", "Two Gun", "Three Gun", "Sniper Key",
            "Fixed function", "Press a key", "Press the keys together and release them",
            "This key cannot be assigned. Press another key.",
            "This macro cannot be sent to the mouse. Check it in the Macro Editor.",
            "No macros yet. Create one in the Macro Editor.",
            "Modifier keys and at most two other keys",
            "Choose a function. OK assigns it to the key.",
            "This key has no macro slot on the mouse (keys 1 to %1 have one)."],
        dpiSetting: ["DPI", "Stages", "Stage", "", ""],
        lightControl: ["Light", "Static", "Breath", "Neon", "OFF", "Speed", "Color",
            "Brightness", "Twinkling", "Wave", "Gliding", "Finger Moving", "Vertical Flipping",
            "YO-YO", "Spotlight", "Breath Loop", "Effect", "Red", "Green", "Blue"],
        macroEditor: ["Macro Editor", "Macro Name", "New", "Delete", "Action",
            "Stop Record", "Times", "OK", "Start Record", "Delay", "Delete", "Import", "Export",
            "Insert Delay", "Insert Key", "Insert Left Key", "Insert Middle Key", "Insert Right Key",
            "Press the key to insert", "Another macro has this name.", "A macro cannot have this name.",
            "Not a step. Write 0,ms for a delay; 1 or 2,key to press or release a key; 3 or 4,button for a mouse button.",
            "No key has this name.", "Delays stay below 100 minutes.",
            "The macro is full: the mouse keeps 128 bytes.", "At most 100 macros.",
            "Not sent to the mouse: a delay between two keys is 100 minutes or longer.",
            "Not sent to the mouse: step %1 is not a step.",
            "Not sent to the mouse: it is longer than 128 bytes.", "The macro could not be saved.",
            "Recording: press keys in any window. Stop Record saves them.", "ms", "bytes",
            "Runs on key", "Double-click a step to edit it.", "Create a macro with New or Import.",
            "No steps yet: record them or insert them.", "The macro could not be deleted.",
            "Delete this macro? Keys that run it get their factory function back.", "Steps",
            "Too many steps.", "Press", "Release", "Double-click a name to rename it.", "Not on any key",
            "Not sent to the mouse: Times is not 0 to 65535."],
        systemSetting: ["System Setting", "Mouse Speed", "Double Click Speed", "Slow",
            "Fast", "Scroll Speed", "Number of Rows", "Scroll one Screen", "Lines",
            "Changes apply at once.", "Not available on this desktop", "", "", "", ""],
        gunControl: ["Gun editor", "Gun", "Select gun", "Cursor Adjust", "X Axis",
            "Y axis", "Fire adjust", "Rate", "Times", "Endless", "Name", "ms"],
        profile: ["config", "New", "Import", "Delete", "Export", "Standard", "In use",
            "At most six profiles.", "The standard profile and the profile in use cannot be deleted.",
            "Profile", "Applications that put this profile in use while in front", "", "Open applications",
            "Program name", "Tie", "Remove", "Use this profile while no tied application is in front",
            "Automatic switching sees only X11 windows on this desktop.",
            "The rules file cannot be read: automatic profiles are off. Changing a rule starts it anew.",
            "Automatic profiles are off (tray menu)."],
        keyCode: KeyCodes.builtInNames,
        window: ["Connect your R770",
            "The pages open as soon as the mouse is connected. If nothing happens, check:",
            "The cable: plug the mouse straight into the computer, or try another USB port.",
            "The udev rule 70-r770.rules, which the package installs: after installing it, unplug the mouse and plug it in again.",
            "Run r770ctl report in a terminal: it tells what it finds.",
            "Quit", "Some changes are not saved. Save them before quitting?", "Discard",
            "Save and switch", "Switch without saving"],
        // The window's notices, tooltips and short descriptions.
        notice: ["Saved to the mouse",
            "Not saved: the settings could not be written to the disk.",
            "%1 is in use",
            "%1 is back to its factory settings",
            "%1 exported to %2",
            "%1 could not be exported to %2.",
            "Profile imported from %1",
            "%1 could not be imported: it is not a profile file, or it could not be read.",
            "Macro %1 exported to %2",
            "Macro %1 could not be exported to %2.",
            "Macro imported from %1",
            "%1 could not be imported: it is not a macro file, or it could not be read.",
            "%1 deleted",
            "Delete %1 from the list?",
            "Minimise",
            "Close",
            "Key %1",
            "Macro: %1",
            "Recoil: %1",
            "Type a value from %1 to %2, in steps of %3.",
            "Busy: the window is working with the mouse, please wait."]
    })

    readonly property var main: texts.main
    readonly property var keyMatrix: texts.keyMatrix
    readonly property var keyAssigment: texts.keyAssigment
    readonly property var dpiSetting: texts.dpiSetting
    readonly property var lightControl: texts.lightControl
    readonly property var macroEditor: texts.macroEditor
    readonly property var systemSetting: texts.systemSetting
    readonly property var gunControl: texts.gunControl
    readonly property var profile: texts.profile
    readonly property var keyCode: texts.keyCode
    readonly property var window: texts.window
    readonly property var notice: texts.notice

    // Puts a language file's texts of `group` in place of the defaults.
    function setGroup(group: string, list: var) {
        const defaults = texts[group]
        if (!Array.isArray(defaults))
            return
        const merged = []
        const count = Math.max(defaults.length, list.length)
        for (let i = 0; i < count; ++i) {
            const text = i < list.length ? String(list[i]) : ""
            merged.push(text.length > 0 ? text : (defaults[i] ?? ""))
        }
        const updated = Object.assign({}, texts)
        updated[group] = merged
        texts = updated
    }
}
