// Test driver, built beside the generated package: reads cases (text, left,
// right, each ended by a zero byte) from os.Args[1] and writes to
// os.Args[2], each ended by a zero byte: "-" (nothing found) or "+" and the
// middle text, then the number of middle texts and each of them, or "E" when
// they are refused.
package main

import (
	"os"
	"strconv"
	"strings"

	"mtdriver/middletext"
)

func main() {
	data, err := os.ReadFile(os.Args[1])
	if err != nil {
		os.Exit(2)
	}
	fields := strings.Split(string(data), "\x00")
	var out []string
	for i := 0; i+3 < len(fields); i += 3 {
		text, left, right := fields[i], fields[i+1], fields[i+2]
		if middle, ok := middletext.MiddleText(text, left, right); ok {
			out = append(out, "+"+middle)
		} else {
			out = append(out, "-")
		}
		found := middletext.MiddleTexts(text, left, right)
		if found == nil {
			out = append(out, "E")
			continue
		}
		out = append(out, strconv.Itoa(len(found)))
		out = append(out, found...)
	}
	var joined strings.Builder
	for _, field := range out {
		joined.WriteString(field)
		joined.WriteByte(0)
	}
	if os.WriteFile(os.Args[2], []byte(joined.String()), 0o644) != nil {
		os.Exit(1)
	}
}
