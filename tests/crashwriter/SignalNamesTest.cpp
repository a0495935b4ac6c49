#include "crashhandler/SignalNames.h"

#include <string>

#include <gtest/gtest.h>

namespace {

std::string names(int sig, int code)
{
    char buf[SignalNames::kBufferSize];
    const char* s = nullptr;
    const char* c = nullptr;
    SignalNames::map_sig_name(sig, code, buf, &s, &c);
    return std::string(s) + "," + c;
}

}

TEST(SignalNames, UseLinuxNumberingAndKeepUnknownCodesAsNumbers)
{
    EXPECT_EQ(names(SIGSEGV, SEGV_MAPERR), "SIGSEGV,SEGV_MAPERR");
    EXPECT_EQ(names(SIGSEGV, SEGV_ACCERR), "SIGSEGV,SEGV_ACCERR");
    EXPECT_EQ(names(7, BUS_ADRERR), "SIGBUS,BUS_ADRERR");
    EXPECT_EQ(names(10, 0), "SIGUSR1,0");
    EXPECT_EQ(names(SIGFPE, 1), "SIGFPE,FPE_INTDIV");
    EXPECT_EQ(names(SIGFPE, 3), "SIGFPE,FPE_FLTDIV");
    EXPECT_EQ(names(SIGILL, ILL_ILLOPN), "SIGILL,ILL_ILLOPN");
    EXPECT_EQ(names(SIGTRAP, 0), "SIGTRAP,0");
    EXPECT_EQ(names(SIGTRAP, TRAP_BRKPT), "SIGTRAP,TRAP_BRKPT");
    EXPECT_EQ(names(SIGABRT, SI_TKILL), "SIGABRT,-6");
    EXPECT_EQ(names(SIGABRT, 0), "SIGABRT,0");
    // Code 0 of the fault signals has a name of its own.
    EXPECT_EQ(names(SIGSEGV, 0), "SIGSEGV,SEGV_NOOP");
    EXPECT_EQ(names(SIGBUS, 0), "SIGBUS,BUS_NOOP");
    EXPECT_EQ(names(SIGILL, 0), "SIGILL,ILL_NOOP");
    EXPECT_EQ(names(SIGFPE, 0), "SIGFPE,FPE_NOOP");
    EXPECT_EQ(names(64, 3), "64,3");
}
