
/* Test driver, appended to the generated subroutine: reads cases (text, left,
   right, each ended by a zero byte) from argv[1] and writes to argv[2], each
   ended by a zero byte: "-" (nothing found) or "+" and the middle text, then
   the number of middle texts and each of them, or "E" when they are refused. */
#include <stdio.h>
#include <stdlib.h>

static void put(FILE *out, const char *prefix, const char *bytes, size_t length)
{
    fputs(prefix, out);
    fwrite(bytes, 1, length, out);
    fputc('\0', out);
}

int main(int argc, char **argv)
{
    if (argc != 3)
        return 2;
    FILE *in = fopen(argv[1], "rb");
    if (in == NULL)
        return 2;
    size_t size = 0, capacity = 1 << 16;
    char *data = malloc(capacity);
    size_t got;
    while (data != NULL && (got = fread(data + size, 1, capacity - size, in)) > 0) {
        size += got;
        if (size == capacity)
            data = realloc(data, capacity *= 2);
    }
    fclose(in);
    FILE *out = fopen(argv[2], "wb");
    if (data == NULL || out == NULL)
        return 2;
    const char *field[3];
    size_t length[3];
    int n = 0;
    size_t begin = 0;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] != '\0')
            continue;
        field[n] = data + begin;
        length[n] = i - begin;
        begin = i + 1;
        if (++n < 3)
            continue;
        n = 0;
        size_t offset, middle;
        if (middle_text(field[0], length[0], field[1], length[1], field[2], length[2], &offset, &middle))
            put(out, "+", field[0] + offset, middle);
        else
            put(out, "-", "", 0);
        size_t count = 0, at = 0;
        if (length[1] == 0 || length[2] == 0) {
            /* Refused: nothing is found, not even the first time. */
            put(out, middle_texts_next(field[0], length[0], field[1], length[1], field[2], length[2], &at, &offset,
                                       &middle) ? "found" : "E", "", 0);
            continue;
        }
        while (middle_texts_next(field[0], length[0], field[1], length[1], field[2], length[2], &at, &offset, &middle))
            ++count;
        fprintf(out, "%lu", (unsigned long)count);
        fputc('\0', out);
        at = 0;
        while (middle_texts_next(field[0], length[0], field[1], length[1], field[2], length[2], &at, &offset, &middle))
            put(out, "", field[0] + offset, middle);
    }
    free(data);
    return fclose(out) == 0 ? 0 : 1;
}
