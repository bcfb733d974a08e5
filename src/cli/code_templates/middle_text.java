// Middle-text extraction: the text that lies between the first occurrence of
// a left text and the next occurrence of a right text behind it.
//
//   MiddleText.middleText("abc[b]XYZ[/b]def", "[b]", "[/b]")  ->  "XYZ"
//   MiddleText.middleTexts("[a][b]c[d]", "[", "]")            ->  [a, b, d]
//
// Texts are compared exactly (case-sensitive). Save as MiddleText.java;
// Java 8 and later.
import java.util.ArrayList;
import java.util.List;

public final class MiddleText {
    private MiddleText() {
    }

    /**
     * The text between the first {@code left} in {@code text} and the next
     * {@code right} behind it. The middle text is empty when {@code right}
     * follows {@code left} directly, when {@code left} ends {@code text}, or
     * when {@code right} occurs only in front of {@code left}.
     *
     * @return null when {@code left} is not in {@code text} or {@code right}
     *     is nowhere in {@code text}
     */
    public static String middleText(String text, String left, String right) {
        if (text.isEmpty()) {
            return null; // an empty text holds nothing, not even an empty left text
        }
        int start = text.indexOf(left);
        if (start == -1 || !text.contains(right)) {
            return null;
        }
        start += left.length();
        final int end = text.indexOf(right, start);
        if (end == -1) {
            return ""; // right occurs only in front of left
        }
        return text.substring(start, end);
    }

    /**
     * Every middle text of {@code text}, in order. After each middle text the
     * next {@code left} is sought behind the {@code right} that ended it, so
     * no two overlap.
     *
     * @param left must not be empty
     * @param right must not be empty
     * @return empty when none is found
     * @throws IllegalArgumentException when {@code left} or {@code right} is empty
     */
    public static List<String> middleTexts(String text, String left, String right) {
        if (left.isEmpty() || right.isEmpty()) {
            throw new IllegalArgumentException("left and right must not be empty");
        }
        final List<String> found = new ArrayList<String>();
        int at = 0;
        for (;;) {
            int start = text.indexOf(left, at);
            if (start == -1) {
                break;
            }
            start += left.length();
            final int end = text.indexOf(right, start);
            if (end == -1) {
                break;
            }
            found.add(text.substring(start, end));
            at = end + right.length();
        }
        return found;
    }
}
