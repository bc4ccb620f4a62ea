// The line syntax of key=value files: key before the first "=", value after
// it, neither trimmed; values typed as numbers or strings.
#pragma once

namespace glint {

// Cuts a line at its first "=": returns the text after it, or null when the
// line has none (the line is then left unchanged).
char* splitCfgLine(char* line);

// Whether a line is skipped by configurations: empty or a ";" comment.
bool isCfgCommentLine(const char* line);

struct CfgValue {
    bool isNumber = false;
    double number = 0;          // the single-precision reading, widened
    const char* text = nullptr; // the string, for a value that is not a number
};

// A value opening with a double quote is the string after that quote, less
// one final quote (cut in place); one opening with a digit, or "-" and a
// digit, is a number (trailing text ignored: 12px is 12); anything else,
// ".5" and the empty value included, is the string as written.
CfgValue parseCfgValue(char* value);

} // namespace glint
