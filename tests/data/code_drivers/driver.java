
// Test driver, appended to the generated class: reads cases (text, left,
// right, each ended by a zero byte) from args[0] and writes to args[1], each
// ended by a zero byte: "-" (nothing found) or "+" and the middle text, then
// the number of middle texts and each of them, or "E" when they are refused.
final class MiddleTextDriver {
    public static void main(String[] args) throws java.io.IOException {
        final String all = new String(java.nio.file.Files.readAllBytes(java.nio.file.Paths.get(args[0])),
                java.nio.charset.StandardCharsets.UTF_8);
        final List<String> fields = new ArrayList<String>();
        for (int begin = 0, end; (end = all.indexOf('\0', begin)) != -1; begin = end + 1) {
            fields.add(all.substring(begin, end));
        }
        final StringBuilder out = new StringBuilder();
        for (int i = 0; i + 2 < fields.size(); i += 3) {
            final String text = fields.get(i), left = fields.get(i + 1), right = fields.get(i + 2);
            final String middle = MiddleText.middleText(text, left, right);
            out.append(middle == null ? "-" : "+" + middle).append('\0');
            try {
                final List<String> found = MiddleText.middleTexts(text, left, right);
                out.append(found.size()).append('\0');
                for (final String one : found) {
                    out.append(one).append('\0');
                }
            } catch (IllegalArgumentException e) {
                out.append("E\0");
            }
        }
        java.nio.file.Files.write(java.nio.file.Paths.get(args[1]),
                out.toString().getBytes(java.nio.charset.StandardCharsets.UTF_8));
    }
}
