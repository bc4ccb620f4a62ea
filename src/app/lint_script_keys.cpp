#include "app/lint_script_keys.h"

#include <cctype>
#include <cstring>

namespace glint {

namespace {

// Words as the script compiler cuts them: runs of bytes above 32, a quoted
// section may hold spaces; ";" starts a comment.
std::vector<std::string_view> wordsOf(std::string_view line) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && static_cast<unsigned char>(line[i]) <= 32) ++i;
        if (i >= line.size() || line[i] == ';')
            break;
        size_t start = i;
        char quote = 0;
        for (; i < line.size(); ++i) {
            unsigned char c = static_cast<unsigned char>(line[i]);
            if (quote) {
                if (c < 32)
                    break;
                if (c == quote)
                    quote = 0;
            } else if (c <= 32) {
                break;
            } else if (c == '"' || c == '\'') {
                quote = static_cast<char>(c);
            }
        }
        words.push_back(line.substr(start, i - start));
    }
    return words;
}

// A constant key: a bare word or a quoted text. Prefixed words are
// variables, numbers are numbers, angle brackets are filled in while
// compiling.
bool constantKey(std::string_view word, std::string& key) {
    if (word.empty() || std::strchr("#$~+^&@!*-%?'[", word[0]) || std::isdigit(static_cast<unsigned char>(word[0])) ||
        word.find('<') != std::string_view::npos)
        return false;
    if (word[0] == '"') {
        if (word.size() < 2 || word.back() != '"')
            return false;
        word = word.substr(1, word.size() - 2);
    }
    key.assign(word);
    return !key.empty();
}

std::vector<size_t> keyPositions(const std::vector<std::string_view>& words) {
    if (words[0] == "get_local_text" || words[0] == "has_local_text")
        return {2};
    if (words[0] != "show_alert")
        return {};
    std::vector<size_t> positions{1, 2};
    for (size_t label = 3; label < words.size(); label += 2) positions.push_back(label);
    return positions;
}

} // namespace

std::vector<ScriptKeyUse> scanScriptKeys(std::string_view text) {
    std::vector<ScriptKeyUse> uses;
    int number = 0;
    while (!text.empty()) {
        size_t end = text.find_first_of("\r\n");
        std::string_view line = text.substr(0, end);
        ++number;
        // CR LF is one line end.
        text = end == std::string_view::npos ? std::string_view()
                                             : text.substr(end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1));
        std::vector<std::string_view> words = wordsOf(line);
        if (words.empty())
            continue;
        std::string key;
        for (size_t position : keyPositions(words))
            if (position < words.size() && constantKey(words[position], key))
                uses.push_back({number, key});
    }
    return uses;
}

} // namespace glint
