import QtQuick
import modules.qml
import "../basic/flows.mjs" as Flows

// The six built-in recoil weapons of the recoil store and the three active
// ones ("mouse/selectGun"). Read at the first initialisation: the key page
// sends the active weapons' fire periods with every key assignment.
QtObject {
    id: store

    property Controller uiView

    readonly property var defaultNames: Flows.weapons.defaultNames
    readonly property int count: defaultNames.length
    readonly property int activeCount: Flows.weapons.activeCount
    readonly property string defaultKey: Flows.weapons.defaultKey

    // { name, key, period, x, y, times } per weapon.
    property var guns: []
    // The weapon positions of active weapons 1, 2 and 3.
    property var active: [0, 1, 2]

    readonly property var activePeriods: Flows.activePeriods({ guns: guns, active: active })
    readonly property var activeNames: active.map(i => guns[i] ? guns[i].name : "")

    // The fire period of an active weapon changed: the key assignment, which
    // carries the periods to the mouse, must be sent again.
    signal periodsEdited()

    function weapon(values: var, index: int): var {
        return Flows.readWeapon(values, index)
    }

    function values(g: var): var {
        return [g.name, g.key, g.period, g.x, g.y, g.times]
    }

    function init() {
        const recoil = Flows.readWeapons(uiView)
        guns = recoil.guns
        active = recoil.active
    }

    function send(slot: int) {
        const g = guns[active[slot]]
        uiView.mouseSendGundata(slot + 1, [g.times, g.x, g.y])
    }

    // Stores a weapon's edited fields; active weapons whose data changed
    // are sent again.
    function update(index: int, changes: var) {
        const old = guns[index]
        const edited = weapon(values(Object.assign({}, old, changes)), index)
        const list = guns.slice()
        list[index] = edited
        guns = list
        uiView.mouseSaveGundata(index, values(edited))
        if (edited.name !== old.name) {
            uiView.modifyGundata(1, values(edited).concat([old.name]))
            uiView.updataNameList(1, guns.map(g => g.name))
        }
        const aimChanged = edited.x !== old.x || edited.y !== old.y || edited.times !== old.times
        for (let slot = 0; slot < activeCount; ++slot) {
            if (active[slot] !== index)
                continue
            if (aimChanged)
                send(slot)
        }
        if (edited.period !== old.period && active.includes(index))
            periodsEdited()
    }

    // Makes weapon `index` active weapon `slot` + 1 and sends it.
    function setActive(slot: int, index: int) {
        if (active[slot] === index)
            return
        const oldPeriod = activePeriods[slot]
        const list = active.slice()
        list[slot] = index
        active = list
        uiView.setGlobalData("mouse/selectGun", active)
        send(slot)
        if (activePeriods[slot] !== oldPeriod)
            periodsEdited()
    }

    // The factory state: weapons 1 to 3 back to their defaults, and active.
    function restoreDefaults() {
        const list = guns.slice()
        const ys = [5, 7, 8]
        let renamed = false
        for (let i = 0; i < activeCount; ++i) {
            renamed = renamed || list[i].name !== defaultNames[i]
            list[i] = { name: defaultNames[i], key: defaultKey, period: 9, x: 0, y: ys[i], times: 0 }
            uiView.mouseSaveGundata(i, values(list[i]))
        }
        guns = list
        active = [0, 1, 2]
        uiView.setGlobalData("mouse/selectGun", active)
        if (renamed)
            uiView.updataNameList(1, guns.map(g => g.name))
    }

    function sendAll() {
        for (let slot = 0; slot < activeCount; ++slot)
            send(slot)
    }
}
