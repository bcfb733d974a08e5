<?php
// Middle-text extraction: the text that lies between the first occurrence of
// a left text and the next occurrence of a right text behind it.
//
//     middle_text("abc[b]XYZ[/b]def", "[b]", "[/b]")  ->  "XYZ"
//     middle_texts("[a][b]c[d]", "[", "]")            ->  ["a", "b", "d"]
//
// Texts are compared exactly (case-sensitive), byte by byte; in valid UTF-8
// a match always starts on a character. PHP 7.1 and later.

/**
 * The text between the first $left in $text and the next $right behind it.
 * The middle text is empty when $right follows $left directly, when $left
 * ends $text, or when $right occurs only in front of $left.
 *
 * @return string|null null when $left is not in $text or $right is nowhere
 *     in $text
 */
function middle_text(string $text, string $left, string $right): ?string
{
    if ($text === '') {
        return null; // an empty text holds nothing, not even an empty left text
    }
    // An empty text is found at the start (older PHP refuses an empty needle).
    $start = $left === '' ? 0 : strpos($text, $left);
    if ($start === false || ($right !== '' && strpos($text, $right) === false)) {
        return null;
    }
    $start += strlen($left);
    $end = $right === '' ? $start : strpos($text, $right, $start);
    if ($end === false) {
        return ''; // right occurs only in front of left
    }
    return (string) substr($text, $start, $end - $start);
}

/**
 * Every middle text of $text, in order. After each middle text the next
 * $left is sought behind the $right that ended it, so no two overlap.
 *
 * @param string $left must not be empty
 * @param string $right must not be empty
 * @return string[] empty when none is found
 * @throws InvalidArgumentException when $left or $right is empty
 */
function middle_texts(string $text, string $left, string $right): array
{
    if ($left === '' || $right === '') {
        throw new InvalidArgumentException('left and right must not be empty');
    }
    $found = [];
    $at = 0;
    while (($start = strpos($text, $left, $at)) !== false) {
        $start += strlen($left);
        $end = strpos($text, $right, $start);
        if ($end === false) {
            break;
        }
        $found[] = (string) substr($text, $start, $end - $start);
        $at = $end + strlen($right);
    }
    return $found;
}
