// Package middletext finds middle texts: the text that lies between the
// first occurrence of a left text and the next occurrence of a right text
// behind it.
//
//	middletext.MiddleText("abc[b]XYZ[/b]def", "[b]", "[/b]")  ->  "XYZ", true
//	middletext.MiddleTexts("[a][b]c[d]", "[", "]")            ->  [a b d]
//
// Texts are compared exactly (case-sensitive), byte by byte; in valid UTF-8
// a match always starts on a character. Go 1.19 and later.
package middletext

import "strings"

// MiddleText returns the text between the first left in text and the next
// right behind it, and true. It returns "" and false when left is not in
// text or right is nowhere in text. The middle text is empty when right
// follows left directly, when left ends text, or when right occurs only in
// front of left.
func MiddleText(text, left, right string) (string, bool) {
	if text == "" {
		return "", false // an empty text holds nothing, not even an empty left text
	}
	start := strings.Index(text, left)
	if start == -1 || !strings.Contains(text, right) {
		return "", false
	}
	start += len(left)
	end := strings.Index(text[start:], right)
	if end == -1 {
		return "", true // right occurs only in front of left
	}
	return text[start : start+end], true
}

// MiddleTexts returns every middle text of text, in order. After each
// middle text the next left is sought behind the right that ended it, so no
// two overlap. The result is empty (not nil) when none is found, and nil
// when left or right is empty.
func MiddleTexts(text, left, right string) []string {
	if left == "" || right == "" {
		return nil
	}
	found := []string{}
	for at := 0; ; {
		start := strings.Index(text[at:], left)
		if start == -1 {
			break
		}
		start += at + len(left)
		end := strings.Index(text[start:], right)
		if end == -1 {
			break
		}
		found = append(found, text[start:start+end])
		at = start + end + len(right)
	}
	return found
}
