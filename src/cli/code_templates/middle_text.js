// Middle-text extraction: the text that lies between the first occurrence of
// a left text and the next occurrence of a right text behind it.
//
//   middleText("abc[b]XYZ[/b]def", "[b]", "[/b]")  ->  "XYZ"
//   middleTexts("[a][b]c[d]", "[", "]")            ->  ["a", "b", "d"]
//
// Texts are compared exactly (case-sensitive).

/**
 * The text between the first `left` in `text` and the next `right` behind it.
 * The middle text is empty when `right` follows `left` directly, when `left`
 * ends `text`, or when `right` occurs only in front of `left`.
 * @param {string} text
 * @param {string} left
 * @param {string} right
 * @returns {string|null} null when `left` is not in `text` or `right` is
 *     nowhere in `text`
 */
function middleText(text, left, right) {
  if (text === "") {
    return null; // an empty text holds nothing, not even an empty left text
  }
  let start = text.indexOf(left);
  if (start === -1 || !text.includes(right)) {
    return null;
  }
  start += left.length;
  const end = text.indexOf(right, start);
  if (end === -1) {
    return ""; // right occurs only in front of left
  }
  return text.slice(start, end);
}

/**
 * Every middle text of `text`, in order. After each middle text the next
 * `left` is sought behind the `right` that ended it, so no two overlap.
 * @param {string} text
 * @param {string} left must not be empty
 * @param {string} right must not be empty
 * @returns {string[]} empty when none is found
 */
function middleTexts(text, left, right) {
  if (left === "" || right === "") {
    throw new RangeError("left and right must not be empty");
  }
  const found = [];
  let at = 0;
  for (;;) {
    let start = text.indexOf(left, at);
    if (start === -1) {
      break;
    }
    start += left.length;
    const end = text.indexOf(right, start);
    if (end === -1) {
      break;
    }
    found.push(text.slice(start, end));
    at = end + right.length;
  }
  return found;
}
