/*
 * Middle-text extraction: the text that lies between the first occurrence of
 * a left text and the next occurrence of a right text behind it.
 *
 * The texts are UTF-8 bytes with their lengths; they need no terminating
 * zero. A middle text is given back as a byte offset into the text and a
 * byte length, so nothing is copied or allocated. In valid UTF-8 a match
 * always starts on a character, so the offsets fall between characters.
 *
 *     const char *t = "abc[b]XYZ[/b]def";
 *     size_t offset, length;
 *     if (middle_text(t, strlen(t), "[b]", 3, "[/b]", 4, &offset, &length))
 *         printf("%.*s\n", (int)length, t + offset);          prints XYZ
 *
 *     size_t at = 0;
 *     while (middle_texts_next(t, strlen(t), "[", 1, "]", 1, &at, &offset, &length))
 *         printf("%.*s\n", (int)length, t + offset);          prints b, then /b
 *
 * Texts are compared exactly (case-sensitive). C99.
 */
#include <stddef.h>
#include <string.h>

/* The offset of the first occurrence of `sought` in `text` at or behind
   `from`, or -1. An empty sought text is found at `from`. */
static ptrdiff_t middle_text_find(const char *text, size_t text_length, const char *sought,
                                  size_t sought_length, size_t from)
{
    if (from > text_length || sought_length > text_length - from)
        return -1;
    if (sought_length == 0)
        return (ptrdiff_t)from;
    const size_t last = text_length - sought_length; /* the last offset a match can start at */
    for (size_t at = from; at <= last; ++at) {
        const char *hit = (const char *)memchr(text + at, sought[0], last - at + 1);
        if (hit == NULL)
            return -1;
        at = (size_t)(hit - text);
        if (memcmp(hit, sought, sought_length) == 0)
            return (ptrdiff_t)at;
    }
    return -1;
}

/*
 * Finds the text between the first `left` in `text` and the next `right`
 * behind it. Returns 1 and stores the middle text's offset and length; returns
 * 0 when `left` is not in `text` or `right` is nowhere in `text`.
 * The middle text is empty (length 0) when `right` follows `left` directly,
 * when `left` ends `text`, or when `right` occurs only in front of `left`.
 */
int middle_text(const char *text, size_t text_length, const char *left, size_t left_length,
                const char *right, size_t right_length, size_t *offset, size_t *length)
{
    if (text_length == 0)
        return 0; /* an empty text holds nothing, not even an empty left text */
    const ptrdiff_t found = middle_text_find(text, text_length, left, left_length, 0);
    if (found < 0 || middle_text_find(text, text_length, right, right_length, 0) < 0)
        return 0;
    const size_t start = (size_t)found + left_length;
    const ptrdiff_t end = middle_text_find(text, text_length, right, right_length, start);
    *offset = start;
    *length = end < 0 ? 0 : (size_t)end - start; /* 0: right occurs only in front of left */
    return 1;
}

/*
 * Steps through every middle text of `text`, in order. Set *at to 0 before
 * the first call. Each call that finds the next middle text returns 1, stores
 * its offset and length and moves *at behind the right text that ended it,
 * so no two overlap. Returns 0 when there is none left, and when `left` or
 * `right` is empty.
 */
int middle_texts_next(const char *text, size_t text_length, const char *left, size_t left_length,
                      const char *right, size_t right_length, size_t *at,
                      size_t *offset, size_t *length)
{
    if (left_length == 0 || right_length == 0)
        return 0;
    const ptrdiff_t found = middle_text_find(text, text_length, left, left_length, *at);
    if (found < 0)
        return 0;
    const size_t start = (size_t)found + left_length;
    const ptrdiff_t end = middle_text_find(text, text_length, right, right_length, start);
    if (end < 0)
        return 0;
    *offset = start;
    *length = (size_t)end - start;
    *at = (size_t)end + right_length;
    return 1;
}
