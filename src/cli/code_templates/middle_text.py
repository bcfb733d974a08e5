# Middle-text extraction: the text that lies between the first occurrence of
# a left text and the next occurrence of a right text behind it.
#
#     middle_text("abc[b]XYZ[/b]def", "[b]", "[/b]")  ->  "XYZ"
#     middle_texts("[a][b]c[d]", "[", "]")            ->  ["a", "b", "d"]
#
# Texts are compared exactly (case-sensitive), character by character.
# Python 3.8 and later.

from typing import List, Optional


def middle_text(text: str, left: str, right: str) -> Optional[str]:
    """Return the text between the first `left` in `text` and the next
    `right` behind it.

    None when `left` is not in `text` or `right` is nowhere in `text`.
    The middle text is empty when `right` follows `left` directly, when
    `left` ends `text`, or when `right` occurs only in front of `left`.
    """
    if not text:
        return None  # an empty text holds nothing, not even an empty left text
    start = text.find(left)
    if start == -1 or right not in text:
        return None
    start += len(left)
    end = text.find(right, start)
    if end == -1:
        return ""  # right occurs only in front of left
    return text[start:end]


def middle_texts(text: str, left: str, right: str) -> List[str]:
    """Return every middle text of `text`, in order.

    After each middle text the next `left` is sought behind the `right`
    that ended it, so no two overlap. The list is empty when none is
    found. `left` and `right` must not be empty.
    """
    if not left or not right:
        raise ValueError("left and right must not be empty")
    found = []
    at = 0
    while True:
        start = text.find(left, at)
        if start == -1:
            break
        start += len(left)
        end = text.find(right, start)
        if end == -1:
            break
        found.append(text[start:end])
        at = end + len(right)
    return found
