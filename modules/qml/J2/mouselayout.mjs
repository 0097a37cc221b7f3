// Where the buttons of the mouse picture are: the canvas of each view and,
// per button (index 0 for button 1), its view and the point on it where a
// call-out ends, in canvas coordinates.
export const canvas = { width: 360, height: 400 };

export const buttons = [
    { view: "top", anchor: { x: 128, y: 112 } },   // 1 left
    { view: "top", anchor: { x: 232, y: 112 } },   // 2 right
    { view: "top", anchor: { x: 180, y: 96 } },    // 3 middle (wheel)
    { view: "side", anchor: { x: 204, y: 176 } },  // 4 back
    { view: "side", anchor: { x: 148, y: 176 } },  // 5 forward
    { view: "top", anchor: { x: 180, y: 150 } },   // 6 DPI+
    { view: "top", anchor: { x: 180, y: 174 } },   // 7 DPI-
    { view: "top", anchor: { x: 180, y: 198 } },   // 8 DPI loop
];
