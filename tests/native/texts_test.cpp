// The program keeps its Korean texts as code page 949 bytes; these tests
// compare them with the same texts written in UTF-8 and converted by iconv,
// and hold each English text to the shape of its Korean one.
#include "logic/messages.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <regex>
#include <string>
#include <vector>

namespace {

std::string Korean(Message message) {
    return MessageText(message, Language::Korean);
}

std::string Cp949(const std::string& utf8) {
    iconv_t converter = iconv_open("CP949", "UTF-8");
    EXPECT_NE(converter, reinterpret_cast<iconv_t>(-1));
    std::string out(utf8.size() * 2 + 1, '\0');
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char* outPtr = &out[0];
    size_t outLeft = out.size();
    size_t result = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(converter);
    EXPECT_NE(result, static_cast<size_t>(-1));
    out.resize(out.size() - outLeft);
    return out;
}

TEST(Texts, HelpTextIsTheThreeParagraphsInCodePage949) {
    std::string help =
        "                    <키보드 모듈의 버턴 설정 방법>\r\n\r\n"
        " QX209 : 본체에 있는 버턴을 1초이상 길게 눌러서 적색 LED\r\n"
        "              가 점등되면 변경 모드로 전환됩니다.\r\n"
        " QX206 : 쉴드선과 컬러 배선 중 1가닥 이상이 연결(Close)된\r\n"
        "              상태로 컴퓨터의 USB 단자에 연결하면 변경 모드로\r\n"
        "              전환됩니다.\r\n";
    EXPECT_EQ(Korean(MSG_HELP), Cp949(help));
}

TEST(Texts, ConnectionMessages) {
    EXPECT_EQ(Korean(MSG_CONNECTED_AT_START),
              Cp949("\r\n > 키보드 모듈(QX%x)이 변경모드로 연결되어 있습니다.\r\n"));
    EXPECT_EQ(Korean(MSG_CONNECTED),
              Cp949("\r\n > 키보드 모듈(QX%x)이 변경모드로 연결되었습니다.\r\n"));
    EXPECT_EQ(Korean(MSG_REMOVED), Cp949("\r\n > 키보드 모듈이 제거되었습니다.\r\n"));
    EXPECT_STREQ(STATUS_CONNECTED, " Connected USB Keyboard Module - QX%X");
    EXPECT_STREQ(STATUS_REMOVED, " Removed USB Keyboard Module");
}

TEST(Texts, DeviceCommandMessages) {
    EXPECT_EQ(Korean(MSG_WRITE_DONE),
              Cp949("\r\n > 데이타 전송이 완료되었습니다.\r\n > 장치를 다시 연결하거나 "
                    "'USB->Reset' 메뉴를 실행하면\r\n    키보드 장치로 동작합니다.."));
    EXPECT_EQ(Korean(MSG_WRITE_ERROR), Cp949("\r\n > 데이타 전송 중에 에러가 발생하였습니다."));
    EXPECT_EQ(Korean(MSG_RECEIVE_ERROR), Cp949("\r\n > 데이타 수신 중에 에러가 발생하였습니다."));
    EXPECT_EQ(Korean(MSG_FIRMWARE_VERSION), Cp949("\r\n > 펌웨어 버전 %d.%d\r\n"));
    EXPECT_EQ(Korean(MSG_READ_DONE), Cp949("\r\n > 데이타 읽기를 완료하였습니다.\r\n"));
    EXPECT_EQ(Korean(MSG_RESET_DONE),
              Cp949("\r\n > 풋 스위치는 키보드 모드로 변경되었습니다.\r\n"));
    EXPECT_EQ(Korean(MSG_RESET_ERROR), Cp949("\r\n > 풋 스위치 리셋 에러가 발생하였습니다.\r\n"));
    EXPECT_EQ(Korean(MSG_SAVE_ERROR), Cp949("\r\n > 파일을 저장하지 못했습니다.\r\n"));
}

// The printf conversions of a format, in order.
std::vector<std::string> Conversions(const std::string& format) {
    std::vector<std::string> found;
    std::regex conversion("%[-+ #0-9.]*[a-zA-Z%]");
    for (auto it = std::sregex_iterator(format.begin(), format.end(), conversion);
         it != std::sregex_iterator(); ++it) {
        found.push_back(it->str());
    }
    return found;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    lines.push_back(text.substr(start));
    return lines;
}

size_t TrailingLineBreaks(const std::string& text) {
    size_t count = 0;
    while (text.size() >= 2 * (count + 1) &&
           text.compare(text.size() - 2 * (count + 1), 2, "\r\n") == 0) {
        ++count;
    }
    return count;
}

// Characters of the window's 13-pixel font in its 363-pixel console, with
// room for the edit control's margins.
constexpr size_t CONSOLE_COLUMNS = 48;

TEST(Texts, EachEnglishMessageHasTheShapeOfItsKoreanOneAndFitsTheConsole) {
    for (int m = 0; m < MESSAGE_COUNT; ++m) {
        SCOPED_TRACE(m);
        std::string korean = Korean(static_cast<Message>(m));
        std::string english = MessageText(static_cast<Message>(m), Language::English);
        EXPECT_EQ(english.rfind("\r\n > ", 0), korean.rfind("\r\n > ", 0)) << english;
        EXPECT_EQ(TrailingLineBreaks(english), TrailingLineBreaks(korean)) << english;
        EXPECT_EQ(Conversions(english), Conversions(korean)) << english;
        for (const std::string& line : Lines(english)) {
            EXPECT_LE(line.size(), CONSOLE_COLUMNS) << line;
            for (char c : line) EXPECT_TRUE(c >= ' ' && c <= '~') << line;
        }
    }
}

// A title, a blank line, then each model's paragraph, in the console's 7 lines.
TEST(Texts, EnglishHelpTextHasTheKoreanOnesLines) {
    std::vector<std::string> korean = Lines(Korean(MSG_HELP));
    std::vector<std::string> english = Lines(MessageText(MSG_HELP, Language::English));
    ASSERT_EQ(english.size(), korean.size());
    EXPECT_EQ(english.size(), 8u) << "seven lines, each with its line break";
    EXPECT_EQ(english[1], "");
    EXPECT_EQ(english[2].rfind(" QX209 : ", 0), 0u);
    EXPECT_EQ(english[4].rfind(" QX206 : ", 0), 0u);
}

TEST(Texts, FontFaceIsGulim) {
    EXPECT_EQ(std::string(FONT_FACE), Cp949("굴림"));
}

}  // namespace
