// Geometry of the mouse picture, written by modules/img/draw.py together with
// the images so that both agree. Canvas pixels at device pixel ratio 1; the
// top and side pictures share this canvas, and each button's lit overlay
// covers the part of it given as its overlay box.

export const canvas = { width: 360, height: 400 };

// Outlines as flat lists of x, y pairs.
const topShell = [
    180, 22, 188.5, 22, 197, 22.6, 205.3, 23.7, 213.4, 25.5, 221.3, 27.9, 228.8, 31.1, 235.8, 35.1,
    242.2, 39.9, 248.1, 45.5, 253.2, 52, 257.5, 59.5, 261, 68, 263.1, 75.3, 265, 83.1, 266.7, 91.5,
    268.1, 100.3, 269.3, 109.6, 270.2, 119.2, 271, 129.3, 271.6, 139.7, 272, 150.4, 272.2, 161.4, 272.2, 172.6,
    272, 184, 271.9, 195.2, 272.2, 206.9, 272.7, 218.8, 273.3, 230.9, 273.9, 243.1, 274.5, 255.2, 274.9, 267.3,
    275, 279.1, 274.8, 290.6, 274.1, 301.6, 272.9, 312.1, 271, 322, 267.9, 330.5, 263.7, 338.2, 258.5, 345,
    252.3, 351, 245.3, 356.1, 237.6, 360.5, 229.3, 364.1, 220.3, 367, 211, 369.2, 201.2, 370.8, 191.2, 371.7,
    181, 372, 170.9, 371.7, 161.2, 371, 151.8, 369.7, 143, 367.8, 134.7, 365.3, 127, 362.2, 120, 358.6,
    113.7, 354.2, 108.2, 349.2, 103.5, 343.5, 99.8, 337.1, 97, 330, 95.7, 323.5, 95.2, 317.1, 95.5, 310.8,
    96.2, 304.4, 97.4, 298, 98.9, 291.5, 100.5, 285, 102.1, 278.3, 103.6, 271.5, 104.8, 264.5, 105.7, 257.4,
    106, 250, 105.6, 242.6, 104.6, 235.5, 103, 228.5, 101.1, 221.6, 98.9, 214.5, 96.5, 207.2, 94.1, 199.7,
    91.9, 191.8, 90, 183.3, 88.4, 174.3, 87.4, 164.6, 87, 154, 87.1, 143.8, 87.3, 134.3, 87.8, 125.3,
    88.3, 116.9, 89.1, 109, 90, 101.5, 91.1, 94.5, 92.3, 87.8, 93.8, 81.4, 95.3, 75.4, 97.1, 69.6,
    99, 64, 102.5, 56.9, 106.8, 50.5, 111.9, 44.9, 117.8, 40, 124.2, 35.7, 131.2, 32.1, 138.7, 29.1,
    146.6, 26.7, 154.7, 24.8, 163, 23.4, 171.5, 22.5, 180, 22];
const leftButton = [
    40, -10, 178.7, -10, 178.7, 54.7, 177, 54.7, 173, 55.2, 169.3, 56.7, 166.2, 59.2, 163.7, 62.4,
    162.2, 66, 161.7, 70, 161.7, 166, 162.2, 170, 163.7, 173.7, 166.2, 176.8, 169.3, 179.3, 173, 180.8,
    177, 181.3, 178.7, 181.3, 178.7, 212.7, 166.9, 212.3, 155.7, 211.2, 144.9, 209.5, 134.4, 207.3, 124, 204.7,
    113.6, 201.9, 102.9, 199, 91.8, 196.1, 80.1, 193.3, 67.7, 190.7, 54.4, 188.5, 40, 186.7];
const rightButton = [
    320, -10, 181.3, -10, 181.3, 54.7, 183, 54.7, 187, 55.2, 190.7, 56.7, 193.8, 59.2, 196.3, 62.4,
    197.8, 66, 198.3, 70, 198.3, 166, 197.8, 170, 196.3, 173.7, 193.8, 176.8, 190.7, 179.3, 187, 180.8,
    183, 181.3, 181.3, 181.3, 181.3, 212.7, 193.1, 212.3, 204.3, 211.2, 215.1, 209.5, 225.6, 207.3, 236, 204.7,
    246.4, 201.9, 257.1, 199, 268.2, 196.1, 279.9, 193.3, 292.3, 190.7, 305.6, 188.5, 320, 186.7];
const loopButton = [
    190, 242, 189.2, 245.8, 187.1, 249.1, 183.8, 251.2, 180, 252, 176.2, 251.2, 172.9, 249.1, 170.8, 245.8,
    170, 242, 170.8, 238.2, 172.9, 234.9, 176.2, 232.8, 180, 232, 183.8, 232.8, 187.1, 234.9, 189.2, 238.2];

// buttons[k] is button k + 1. view: the picture that shows it ("top" or
// "side"); anchor: where a call-out line ends on it; rect: its bounds;
// overlay: where its lit overlay (key<k + 1>_hl) goes, its bounds and glow;
// hit: polygons a point must lie in, all of them, to be on the button.
export const buttons = [
    { // 1 left
        view: "top", anchor: { x: 128, y: 112 },
        rect: { x: 87, y: 22, width: 93, height: 194 },
        overlay: { x: 75, y: 10, width: 117, height: 218 },
        hit: [topShell, leftButton] },
    { // 2 right
        view: "top", anchor: { x: 232, y: 112 },
        rect: { x: 180, y: 22, width: 93, height: 194 },
        overlay: { x: 168, y: 10, width: 117, height: 218 },
        hit: [topShell, rightButton] },
    { // 3 middle (wheel)
        view: "top", anchor: { x: 180, y: 92 },
        rect: { x: 171, y: 62, width: 18, height: 60 },
        overlay: { x: 159, y: 50, width: 42, height: 84 },
        hit: [[171, 62, 189, 62, 189, 122, 171, 122]] },
    { // 4 back (rear thumb button)
        view: "side", anchor: { x: 196, y: 193 },
        rect: { x: 164, y: 181, width: 64, height: 24 },
        overlay: { x: 152, y: 169, width: 88, height: 48 },
        hit: [[164.3, 187.8, 225.9, 181.3, 227.7, 198.2, 166.1, 204.7]] },
    { // 5 forward (front thumb button)
        view: "side", anchor: { x: 128, y: 200 },
        rect: { x: 96, y: 188, width: 64, height: 24 },
        overlay: { x: 84, y: 176, width: 88, height: 48 },
        hit: [[96.3, 194.8, 157.9, 188.3, 159.7, 205.2, 98.1, 211.7]] },
    { // 6 DPI+
        view: "top", anchor: { x: 180, y: 140 },
        rect: { x: 170, y: 130, width: 20, height: 20 },
        overlay: { x: 158, y: 118, width: 44, height: 44 },
        hit: [[170, 130, 190, 130, 190, 150, 170, 150]] },
    { // 7 DPI-
        view: "top", anchor: { x: 180, y: 165 },
        rect: { x: 170, y: 155, width: 20, height: 20 },
        overlay: { x: 158, y: 143, width: 44, height: 44 },
        hit: [[170, 155, 190, 155, 190, 175, 170, 175]] },
    { // 8 DPI loop
        view: "top", anchor: { x: 180, y: 242 },
        rect: { x: 170, y: 232, width: 20, height: 20 },
        overlay: { x: 158, y: 220, width: 44, height: 44 },
        hit: [loopButton] },
];

function inside(poly, x, y) {
    let odd = false;
    for (let i = 0, j = poly.length - 2; i < poly.length; j = i, i += 2) {
        const xi = poly[i], yi = poly[i + 1], xj = poly[j], yj = poly[j + 1];
        if ((yi > y) !== (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi)
            odd = !odd;
    }
    return odd;
}

// The index of the button under canvas point (x, y) of a view, or -1.
export function buttonAt(view, x, y) {
    return buttons.findIndex(b => b.view === view && b.hit.every(p => inside(p, x, y)));
}
