#include "crashhandler/SignalNames.h"

#include "crashhandler/SafeFormat.h"

namespace {

struct SigName {
    int sig;
    const char* name;
};

const SigName kSignals[] = {
    {SIGHUP, "SIGHUP"},     {SIGINT, "SIGINT"},       {SIGQUIT, "SIGQUIT"},   {SIGILL, "SIGILL"},
    {SIGTRAP, "SIGTRAP"},   {SIGABRT, "SIGABRT"},     {SIGBUS, "SIGBUS"},     {SIGFPE, "SIGFPE"},
    {SIGKILL, "SIGKILL"},   {SIGUSR1, "SIGUSR1"},     {SIGSEGV, "SIGSEGV"},   {SIGUSR2, "SIGUSR2"},
    {SIGPIPE, "SIGPIPE"},   {SIGALRM, "SIGALRM"},     {SIGTERM, "SIGTERM"},   {SIGSTKFLT, "SIGSTKFLT"},
    {SIGCHLD, "SIGCHLD"},   {SIGCONT, "SIGCONT"},     {SIGSTOP, "SIGSTOP"},   {SIGTSTP, "SIGTSTP"},
    {SIGTTIN, "SIGTTIN"},   {SIGTTOU, "SIGTTOU"},     {SIGURG, "SIGURG"},     {SIGXCPU, "SIGXCPU"},
    {SIGXFSZ, "SIGXFSZ"},   {SIGVTALRM, "SIGVTALRM"}, {SIGPROF, "SIGPROF"},   {SIGWINCH, "SIGWINCH"},
    {SIGIO, "SIGIO"},       {SIGPWR, "SIGPWR"},       {SIGSYS, "SIGSYS"},
};

struct CodeName {
    int sig;
    int code;
    const char* name;
};

const CodeName kCodes[] = {
    // Code 0 (sent by kill()) has a name for the four fault signals.
    {SIGILL, 0, "ILL_NOOP"},              {SIGFPE, 0, "FPE_NOOP"},
    {SIGSEGV, 0, "SEGV_NOOP"},            {SIGBUS, 0, "BUS_NOOP"},
    {SIGILL, ILL_ILLOPC, "ILL_ILLOPC"},   {SIGILL, ILL_ILLOPN, "ILL_ILLOPN"},
    {SIGILL, ILL_ILLADR, "ILL_ILLADR"},   {SIGILL, ILL_ILLTRP, "ILL_ILLTRP"},
    {SIGILL, ILL_PRVOPC, "ILL_PRVOPC"},   {SIGILL, ILL_PRVREG, "ILL_PRVREG"},
    {SIGILL, ILL_COPROC, "ILL_COPROC"},   {SIGILL, ILL_BADSTK, "ILL_BADSTK"},
    {SIGFPE, FPE_INTDIV, "FPE_INTDIV"},   {SIGFPE, FPE_INTOVF, "FPE_INTOVF"},
    {SIGFPE, FPE_FLTDIV, "FPE_FLTDIV"},   {SIGFPE, FPE_FLTOVF, "FPE_FLTOVF"},
    {SIGFPE, FPE_FLTUND, "FPE_FLTUND"},   {SIGFPE, FPE_FLTRES, "FPE_FLTRES"},
    {SIGFPE, FPE_FLTINV, "FPE_FLTINV"},   {SIGFPE, FPE_FLTSUB, "FPE_FLTSUB"},
    {SIGSEGV, SEGV_MAPERR, "SEGV_MAPERR"}, {SIGSEGV, SEGV_ACCERR, "SEGV_ACCERR"},
    {SIGSEGV, SEGV_BNDERR, "SEGV_BNDERR"}, {SIGSEGV, SEGV_PKUERR, "SEGV_PKUERR"},
    {SIGBUS, BUS_ADRALN, "BUS_ADRALN"},   {SIGBUS, BUS_ADRERR, "BUS_ADRERR"},
    {SIGBUS, BUS_OBJERR, "BUS_OBJERR"},   {SIGBUS, BUS_MCEERR_AR, "BUS_MCEERR_AR"},
    {SIGBUS, BUS_MCEERR_AO, "BUS_MCEERR_AO"},
    {SIGTRAP, TRAP_BRKPT, "TRAP_BRKPT"},  {SIGTRAP, TRAP_TRACE, "TRAP_TRACE"},
    {SIGTRAP, TRAP_BRANCH, "TRAP_BRANCH"}, {SIGTRAP, TRAP_HWBKPT, "TRAP_HWBKPT"},
#if defined(__x86_64__) || defined(__i386__)
    // The kernel sends a breakpoint instruction's trap (int3) as SI_KERNEL.
    {SIGTRAP, SI_KERNEL, "TRAP_BRKPT"},
#endif
};

}

void SignalNames::map_sig_name(int sig, int code, char* buffer, const char** sigName,
                               const char** codeName)
{
    SafeFormat::format(buffer, 16, "%d", sig);
    SafeFormat::format(buffer + 16, 16, "%d", code);
    *sigName = buffer;
    *codeName = buffer + 16;
    for (const SigName& s : kSignals) {
        if (s.sig == sig) {
            *sigName = s.name;
            break;
        }
    }
    for (const CodeName& c : kCodes) {
        if (c.sig == sig && c.code == code) {
            *codeName = c.name;
            break;
        }
    }
}

void SignalNames::map_sig_name(const siginfo_t* info, char* buffer, const char** sigName,
                               const char** codeName)
{
    map_sig_name(info->si_signo, info->si_code, buffer, sigName, codeName);
}
