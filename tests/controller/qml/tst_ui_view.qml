import QtQuick
import QtTest

TestCase {
    name: "UiView"

    function test_dataAccess() {
        ui_View.setCurrentProfile(1)
        ui_View.setData("mouse/reportRate", 40)
        compare(Number(ui_View.getData("mouse/reportRate", false)), 40)
        compare(ui_View.getData("mouse/noSuchKey", false), undefined)
        compare(ui_View.getDataList("mouse/noSuchKey", false).length, 0)
        ui_View.setDataList("mouse/dpiValueArray", [400, 800, 1600])
        var stored = ui_View.getDataList("mouse/dpiValueArray", false)
        compare(stored.length, 3)
        compare(Number(stored[2]), 1600)
        verify(ui_View.getGlobalData("mouse/icType") !== undefined)
        ui_View.setCurrentProfile(0)
    }

    function test_deviceOperations() {
        ui_View.mouseSetCurrentDPI(3)
        compare(ui_View.mouseGetCurrentDPI(), 3)
        compare(ui_View.mouseSendMacroData([0, 1, 129, 4], 12), true)
        compare(ui_View.GetKeyboardoption().length, 4)
        var key = ui_View.mouseGetKeydefine(0, true)
        compare(key.length, 4)
    }

    function test_nameList() {
        // The shipped profile names.
        var names = ui_View.getNameList(2)
        compare(names.length, 2)
        compare(String(names[0]), "Standard0")
    }
}
