#include "wire/Transaction.h"

#include <gtest/gtest.h>

using namespace linvar;

TEST(Transaction, RequestsAndMatching) {
    EXPECT_EQ(RequestText("0012", "FLT?"), "<0012/FLT?");
    EXPECT_EQ(RequestText("0012", "TXO=1"), "<0012/TXO=1");

    EXPECT_EQ(MatchReply(">0012/FLT=0000\r\n", "0012", "FLT"), "=0000");
    EXPECT_EQ(MatchReply(">12  /FLT=0000\r\n", "0012", "FLT"), "=0000");
    EXPECT_FALSE(MatchReply(">0013/FLT=0000\r\n", "0012", "FLT"));
    EXPECT_FALSE(MatchReply(">0012/RED=1\r\n", "0012", "FLT"));
    EXPECT_FALSE(MatchReply(">00x2/FLT=0000\r\n", "0012", "FLT"));
    EXPECT_FALSE(MatchReply(">    /FLT=0000\r\n", "0000", "FLT"));
    EXPECT_FALSE(MatchReply("", "0012", "FLT"));
    EXPECT_EQ(MatchReply(">0012/FLT\r\n", "0012", "FLT"), "");
    EXPECT_EQ(MatchReply(">0012/FLT", "0012", "FLT"), "");
}

TEST(Transaction, RefusalClassesByDialect) {
    EXPECT_EQ(ClassifyPayload("=0000", ReplyDialect::Summary), "=0000");
    EXPECT_EQ(ClassifyPayload("+", ReplyDialect::Summary), "+");
    EXPECT_EQ(ClassifyPayload("*", ReplyDialect::Summary), "*Not permitted");
    EXPECT_EQ(ClassifyPayload("?xx", ReplyDialect::Modem), "?Invalid args");
    EXPECT_EQ(ClassifyPayload("~", ReplyDialect::Summary), "TOBLIX timeout");
    EXPECT_EQ(ClassifyPayload("~", ReplyDialect::Modem), "TOblix timeout");
    EXPECT_EQ(ClassifyPayload("!", ReplyDialect::Summary), "!");
    EXPECT_EQ(ClassifyPayload("!", ReplyDialect::Modem), "TUnknown command");
}
