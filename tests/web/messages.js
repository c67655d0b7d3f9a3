// The console's messages as the page shows them (line breaks as "\n"), in
// Korean and in English, each filled in as the tests bring it about: a QX209,
// firmware version 0x12.
'use strict';

const MESSAGES = {
  help: {
    ko: '                    <키보드 모듈의 버턴 설정 방법>\n\n' +
      ' QX209 : 본체에 있는 버턴을 1초이상 길게 눌러서 적색 LED\n' +
      '              가 점등되면 변경 모드로 전환됩니다.\n' +
      ' QX206 : 쉴드선과 컬러 배선 중 1가닥 이상이 연결(Close)된\n' +
      '              상태로 컴퓨터의 USB 단자에 연결하면 변경 모드로\n' +
      '              전환됩니다.\n',
    en: '       <How to set up the module\'s buttons>\n\n' +
      ' QX209 : Hold the button a second or more; it is\n' +
      '         in change mode when the red LED lights.\n' +
      ' QX206 : Plug the module into a USB port with\n' +
      '         the shield wire connected to a colour\n' +
      '         wire: it is then in change mode.\n',
  },
  connectedAtStart: {
    ko: '\n > 키보드 모듈(QX209)이 변경모드로 연결되어 있습니다.\n',
    en: '\n > Module QX209 is connected in change mode.\n',
  },
  connected: {
    ko: '\n > 키보드 모듈(QX209)이 변경모드로 연결되었습니다.\n',
    en: '\n > Module QX209 is now connected in change mode.\n',
  },
  removed: {
    ko: '\n > 키보드 모듈이 제거되었습니다.\n',
    en: '\n > The module has been removed.\n',
  },
  writeDone: {
    ko: '\n > 데이타 전송이 완료되었습니다.\n > 장치를 다시 연결하거나 \'USB->Reset\' 메뉴를 실행하면\n' +
      '    키보드 장치로 동작합니다..',
    en: '\n > The data has been written.\n > Plug the module in again or run \'USB->Reset\'\n' +
      '    and it works as a keyboard.',
  },
  writeError: {
    ko: '\n > 데이타 전송 중에 에러가 발생하였습니다.',
    en: '\n > An error occurred while writing the data.',
  },
  version: {
    ko: '\n > 펌웨어 버전 1.2\n',
    en: '\n > Firmware version 1.2\n',
  },
  readDone: {
    ko: '\n > 데이타 읽기를 완료하였습니다.\n',
    en: '\n > The data has been read.\n',
  },
  receiveError: {
    ko: '\n > 데이타 수신 중에 에러가 발생하였습니다.',
    en: '\n > An error occurred while reading the data.',
  },
  resetDone: {
    ko: '\n > 풋 스위치는 키보드 모드로 변경되었습니다.\n',
    en: '\n > The module is now in keyboard mode.\n',
  },
  resetError: {
    ko: '\n > 풋 스위치 리셋 에러가 발생하였습니다.\n',
    en: '\n > An error occurred while resetting the module.\n',
  },
};

// What Data > Write lists of an empty table before its outcome.
const EMPTY_DUMP = ' > Scan Code : \n' +
  '    0000  0000  0000  0000  0000  0000  0000  0000 \n' +
  '    0000  0000  0000  0000  0000  0000  0000  0000\n';

module.exports = { MESSAGES, EMPTY_DUMP, LANGUAGES: ['ko', 'en'] };
