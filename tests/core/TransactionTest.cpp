#include "wire/Transaction.h"

#include <gtest/gtest.h>

using namespace linvar;
using Texts = std::vector<std::string>;

TEST(Transaction, RequestsAndMatching) {
    EXPECT_EQ(RequestText("0012", "TXO=1"), "<0012/TXO=1");
    // What the station takes from each reply to FLT? of 0012; "none" when it is not one.
    Texts got;
    for (const char* reply :
         {">0012/FLT=0000\r\n", ">12  /FLT=0000\r\n", ">0013/FLT=0000\r\n", ">0012/RED=1\r\n",
          ">00x2/FLT=0000\r\n", "", ">0012/FLT\r\n", ">0012/FLT"})
        got.push_back(MatchReply(reply, "0012", "FLT").value_or("none"));
    EXPECT_EQ(got, (Texts{"=0000", "=0000", "none", "none", "none", "none", "", ""}));
    EXPECT_FALSE(MatchReply(">    /FLT=0000\r\n", "0000", "FLT"));
}

TEST(Transaction, RefusalClassesByDialect) {
    Texts summary, modem;
    for (const char* payload : {"=0000", "*", "?xx", "~", "!"}) {
        summary.push_back(ClassifyPayload(payload, ReplyDialect::Summary));
        modem.push_back(ClassifyPayload(payload, ReplyDialect::Modem));
    }
    EXPECT_EQ(summary, (Texts{"=0000", "*Not permitted", "?Invalid args", "TOBLIX timeout", "!"}));
    EXPECT_EQ(modem, (Texts{"=0000", "*Not permitted", "?Invalid args", "TOblix timeout",
                            "TUnknown command"}));
}
