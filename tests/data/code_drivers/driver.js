
// Test driver, appended to the generated subroutine: reads cases (text, left,
// right, each ended by a zero byte) from argv[2] and writes to argv[3], each
// ended by a zero byte: "-" (nothing found) or "+" and the middle text, then
// the number of middle texts and each of them, or "E" when they are refused.
const fs = require("fs");
const fields = fs.readFileSync(process.argv[2], "utf8").split("\0");
const out = [];
for (let i = 0; i + 3 < fields.length; i += 3) {
  const [text, left, right] = fields.slice(i, i + 3);
  const middle = middleText(text, left, right);
  out.push(middle === null ? "-" : "+" + middle);
  try {
    const found = middleTexts(text, left, right);
    out.push(String(found.length), ...found);
  } catch (e) {
    out.push("E");
  }
}
fs.writeFileSync(process.argv[3], out.map((x) => x + "\0").join(""), "utf8");
