// A strict reader of JSON texts for the tests that parse the tool's --json
// output back: the whole text must be one value, with nothing but white
// space around it.
#pragma once

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

struct Json {
    enum Kind { Null, Bool, Number, String, Array, Object };
    Kind kind = Null;
    bool truth = false;
    double number = 0;
    std::string text;
    std::vector<Json> items;
    std::vector<std::pair<std::string, Json>> members;

    // The member of that name; a null value when there is none.
    const Json& operator[](const std::string& name) const {
        static const Json none;
        for (const auto& member : members) {
            if (member.first == name) return member.second;
        }
        return none;
    }
    const Json& operator[](size_t index) const { return items.at(index); }
};

class JsonReader {
public:
    explicit JsonReader(const std::string& text) : text_(text) {}

    bool Read(Json* value) {
        if (!Value(value)) return false;
        Blanks();
        return at_ == text_.size();
    }

private:
    void Blanks() {
        while (at_ < text_.size() && std::string(" \t\r\n").find(text_[at_]) != std::string::npos) {
            ++at_;
        }
    }

    bool Take(char c) {
        Blanks();
        if (at_ >= text_.size() || text_[at_] != c) return false;
        ++at_;
        return true;
    }

    bool Word(const char* word) {
        std::string w = word;
        if (text_.compare(at_, w.size(), w) != 0) return false;
        at_ += w.size();
        return true;
    }

    bool Value(Json* value) {
        Blanks();
        if (at_ >= text_.size()) return false;
        char c = text_[at_];
        if (c == '{') return ObjectValue(value);
        if (c == '[') return ArrayValue(value);
        if (c == '"') return value->kind = Json::String, StringValue(&value->text);
        if (Word("null")) return true;
        if (Word("true")) return value->kind = Json::Bool, value->truth = true;
        if (Word("false")) return value->kind = Json::Bool, true;
        return NumberValue(value);
    }

    bool NumberValue(Json* value) {
        const char* start = text_.c_str() + at_;
        char* end = nullptr;
        value->number = std::strtod(start, &end);
        if (end == start) return false;
        value->kind = Json::Number;
        at_ += static_cast<size_t>(end - start);
        return true;
    }

    bool StringValue(std::string* out) {
        if (!Take('"')) return false;
        while (at_ < text_.size() && text_[at_] != '"') {
            char c = text_[at_++];
            if (static_cast<unsigned char>(c) < 0x20) return false;
            if (c != '\\') {
                *out += c;
                continue;
            }
            if (at_ >= text_.size()) return false;
            char e = text_[at_++];
            if (e == 'u') {
                if (at_ + 4 > text_.size()) return false;
                *out += static_cast<char>(std::strtol(text_.substr(at_, 4).c_str(), nullptr, 16));
                at_ += 4;
            } else if (std::string("\"\\/").find(e) != std::string::npos) {
                *out += e;
            } else {
                return false;
            }
        }
        return Take('"');
    }

    bool ArrayValue(Json* value) {
        value->kind = Json::Array;
        Take('[');
        if (Take(']')) return true;
        do {
            value->items.emplace_back();
            if (!Value(&value->items.back())) return false;
        } while (Take(','));
        return Take(']');
    }

    bool ObjectValue(Json* value) {
        value->kind = Json::Object;
        Take('{');
        if (Take('}')) return true;
        do {
            std::pair<std::string, Json> member;
            Blanks();
            if (!StringValue(&member.first) || !Take(':') || !Value(&member.second)) return false;
            value->members.push_back(std::move(member));
        } while (Take(','));
        return Take('}');
    }

    const std::string& text_;
    size_t at_ = 0;
};
