import QtQuick
import QtTest

TestCase {
    name: "UiView"

    function test_operationsByName() {
        ui_View.setCurrentProfile(1)
        ui_View.setData("mouse/reportRate", 40)
        compare(Number(ui_View.getData("mouse/reportRate", false)), 40)
        compare(ui_View.getData("mouse/noSuchKey", false), undefined)
        compare(ui_View.getDataList("mouse/noSuchKey", false).length, 0)
        compare(String(ui_View.getNameList(2)[0]), "Standard0")
        ui_View.mouseSetCurrentDPI(3)
        compare(ui_View.mouseGetCurrentDPI(), 3)
        compare(ui_View.mouseSendMacroData([0, 1, 129, 4], 12), true)
        compare(ui_View.GetKeyboardoption().length, 4)
        compare(ui_View.mouseGetKeydefine(0, true).length, 4)
    }
}
