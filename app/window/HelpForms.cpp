#include "app/window/HelpForms.h"

namespace orvane {

TypeNoForm::TypeNoForm() : Form("Patent No. 입력형식") {
  add("lblHeading", ControlKind::Label, "- Patent No. 입력형식 (네모박스 안의 형식으로 입력) -");
  add("OKButton", ControlKind::Button, "OK");
}

const std::vector<TypeNoForm::Row>& TypeNoForm::rows() {
  static const std::vector<Row> table = {
      {"esp@cenet", "US patent 5007025", "US5007025"},
      {"esp@cenet", "特開平11-331656 / 特開平8-142962 / 特開2000-1 / 特開昭46-1",
       "JP11331656 / JP8142962 / JP2000000001 / JP46000001"},
      {"esp@cenet", "EP 1 033 882 A1 / EP 1 024 627 A2 / EP 0 441 236 B1",
       "EP1033882A1 / EP1024627A2 / EP0441236B1"},
      {"esp@cenet", "WO 00/50842; GB 2 312 191 A; DE 198 12 996 C1", "WO0050842; GB2312191; DE19812996"},
      {"esp@cenet", "FR 2 766 573; CH 688 709 A5; ES 2 115 427; LU 90091",
       "FR2766573; CH688709; ES2115427; LU90091"},
      {"USPTO", "patent 5007025; publication 20010000044", "US5007025; US20010000044"},
      {"IPDL", "特開平11-331656 / 特開平8-142962 / 特開2000-1 / 特開昭46-1",
       "H11-331656 / H08-142962 / 2000-000001 / S46-000001"},
      {"IPDL", "특허공보; 실용등록 (실용공개, PAJ: 특허공개와 같은 형식)", "3148700; 2607100"},
      {"Delphion", "特開平11-331656 / 特開平8-142962 / 特開2000-1", "JP11331656 / JP08142962 / JP00000001"},
      {"KIPRIS", "특허공개 공개 95-28508; 출원 95-4784", "101995028508; 101995004784A"},
      {"KIPRIS", "실용공개 공개 95-28508; 출원 95-4784", "201995028508; 201995004784A"},
  };
  return table;
}

AboutForm::AboutForm() : Form("About Orvane") {
  add("lblName", ControlKind::Label, kProgramName);
  add("lblVersion", ControlKind::Label, std::string("Version ") + kProgramVersion);
  add("lblPurpose", ControlKind::Label, "특허 원문 일괄 다운로드 (esp@cenet, USPTO, IPDL, Delphion, KIPRIS)");
  add("OKButton", ControlKind::Button, "OK");
}

EachPageForm::EachPageForm() : Form("페이지번호 입력형식") {
  add("Label1", ControlKind::Label, "- 각각의 페이지 번호를 빈공간없이 콤마(,)");
  add("Label2", ControlKind::Label, "   로 분리해서 기입하십시오");
  add("Label3", ControlKind::Label, "   Ex) 1,3");
  add("Label4", ControlKind::Label,
      "- BAD Page 다시받기 모드에서는 특허번호 칸에 이전에 받은 특허번호를,\n"
      "   이 칸에는 BAD 페이지 번호를 기입하십시오 (Ex) 1,3,5,10).\n"
      "   이전에 받은 페이지와 합쳐서 전체 원문 파일을 만듭니다.");
  add("pageCom", ControlKind::Button, "확    인");
}

}  // namespace orvane
