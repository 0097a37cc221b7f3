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

    // JavaScript arrays reach QVariant parameters as QJSValue; they must be
    // stored exactly as the same list from C++ would be.
    function test_arraysFromScene_data() {
        return [
            { tag: "three numbers", value: [0, 1, 2], line: "k=0, 1, 2", read: "QStringList:0|1|2" },
            { tag: "one element", value: [7], line: "k=7", read: "QString:7" },
            { tag: "empty", value: [], line: "k=@Invalid()", read: "invalid:" },
            { tag: "strings", value: ["a b", "c"], line: "k=a b, c", read: "QStringList:a b|c" },
            { tag: "nested", value: [[1, 2], 3], line: "k=\"1, 2\", 3", read: "QStringList:1, 2|3" },
        ]
    }

    function test_arraysFromScene(row) {
        ui_View.setCurrentProfile(2)
        ui_View.setGlobalData("test/k", row.value)
        compare(probe.stored("apConfig.bin", "test/k"), row.line + " => " + row.read)
        ui_View.setData("test/k", row.value)
        compare(probe.stored("p3.bin", "test/k"), row.line + " => " + row.read)
        ui_View.setDataList("test/k", row.value)
        compare(probe.stored("p3.bin", "test/k"), row.line + " => " + row.read)
    }
}
