#include "logic/messages.h"

namespace {

struct MessageTexts {
    const char* korean;
    const char* english;
};

constexpr MessageTexts MESSAGES[MESSAGE_COUNT] = {
#define MESSAGE(name, korean, english) {korean, english},
#include "logic/message_list.inc"
#undef MESSAGE
};

}  // namespace

const char* MessageText(Message message, Language language) {
    const MessageTexts& texts = MESSAGES[message];
    return language == Language::Korean ? texts.korean : texts.english;
}
