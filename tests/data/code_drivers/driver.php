
// Test driver, appended to the generated functions: reads cases (text, left,
// right, each ended by a zero byte) from $argv[1] and writes to $argv[2],
// each ended by a zero byte: "-" (nothing found) or "+" and the middle text,
// then the number of middle texts and each of them, or "E" when they are
// refused.
$fields = explode("\0", file_get_contents($argv[1]));
$out = [];
for ($i = 0; $i + 3 < count($fields); $i += 3) {
    [$text, $left, $right] = array_slice($fields, $i, 3);
    $middle = middle_text($text, $left, $right);
    $out[] = $middle === null ? '-' : '+' . $middle;
    try {
        $found = middle_texts($text, $left, $right);
        $out[] = (string) count($found);
        array_push($out, ...$found);
    } catch (InvalidArgumentException $e) {
        $out[] = 'E';
    }
}
file_put_contents($argv[2], implode('', array_map(function ($x) { return $x . "\0"; }, $out)));
