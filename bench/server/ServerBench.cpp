// Requests per second of DorvaneServer on its demo data, from 1 and from 8 concurrent clients:
// the whole-record read, the 8-table joined chosen-field read and "getproviderquotes". Each
// figure stands beside a baseline doing the same request in process (no socket, no TLS), on the
// same kind of database file; scripts/bench.sh also sets each 8-client figure against its 1-client
// one (how the server scales with its clients).
#include "dataclient/dbServerConnection.h"
#include "server/DemoData.h"
#include "server/FunctionHandler.h"
#include "server/RequestHandler.h"
#include "tests/support/ServerProcess.h"
#include "tests/support/TempDir.h"

#include <benchmark/benchmark.h>

namespace
{
const char *const CaseDetailAliases =
    "cn=CaseNeeds:f10,ca=Cases:cn10,H=ProviderEntities:ca11,pa=Patients:ca10,"
    "pe=Personnel:ca23,pt=ProviderTypes:cn11,pc=ProviderCategories:cn12,"
    "pd=ProviderCategoryDetails:cn13";
const char *const CaseDetailFields =
    "ca1,cn1,H1,pa1,pc1,pd1,pe1,pt1,cn14,cn15,H10,ca16,ca17,ca1001,ca1002,f13,"
    "f1001,,ca22,ca1,pt10,pc12,pd11,pe11,pe13,pa13,pa14,ca30";
const char *const QuotesRequest =
    "{ServerCommand:getproviderquotes,ProviderSeq:1,AliasList:\"cn=CaseNeeds:f10,ca=Cases:cn10,"
    "P=Patients:ca10,H=ProviderEntities:ca11,Ip=InsuranceTypes:ca19,Is=InsuranceTypes:ca20,"
    "It=InsuranceTypes:ca21,pt=ProviderTypes:cn11,pc=ProviderCategories:cn12,pd=ProviderCategoryDetails:"
    "cn13\","
    "QuoteFieldList:\"f10,f12,f13,f14,cn14,cn15,cn16,pt10,pc12,pd11\",CaseFieldList:\"ca1,ca10,ca11,ca12,"
    "ca13,"
    "ca14,ca15,ca19,ca20,ca21,ca22,H10,P13,P14,Ip10,Is10,It10\"}";

cServerProcess *Started = nullptr;

cServerProcess &Server()
{
    static cServerProcess *server = Started = []
    {
        auto *s = new cServerProcess;
        if (!s->Start({"--log-level", "error"}))
            std::abort();
        return s;
    }();
    return *server;
}

// The demo data in a file, as the server keeps it: the handlers of each thread read through
// connections of their own.
cStore &InProcessStore()
{
    static cTempDir folder("dorvane_bench_store_"); // removed at exit
    static cStore *store = []
    {
        auto *s = new cStore;
        std::string error;
        if (folder.Path.empty() || !s->Open(folder.File("dorvane.db"), error) || !FillDemoData(*s, error))
            std::abort();
        return s;
    }();
    return *store;
}

std::unique_ptr<dbServerConnection> Data()
{
    return std::make_unique<dbServerConnection>("127.0.0.1", Server().DataPortText(), "DorvaneClient", "",
                                                true, 30);
}

void BM_ReadRecord(benchmark::State &state)
{
    auto c = Data();
    cStringList lines;
    for (auto _ : state)
        if (!c->ReadRecord("ProviderEntities", "1", lines))
            state.SkipWithError("read failed");
    state.SetItemsProcessed(state.iterations());
}

void BM_ReadFieldsJoined8(benchmark::State &state)
{
    auto c = Data();
    for (auto _ : state)
    {
        std::string fields = CaseDetailFields;
        if (!c->ReadFields("CaseNeedsQuote", "1", fields, CaseDetailAliases))
            state.SkipWithError("read failed");
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_ProviderQuotes(benchmark::State &state)
{
    dbServerConnection c("127.0.0.1", Server().FunctionPortText(), "", "", false, 30);
    for (auto _ : state)
        if (!c.SendText(QuotesRequest) || c.ReplyText.size() < 100)
            state.SkipWithError("command failed");
    state.SetItemsProcessed(state.iterations());
}

// Baselines: the same requests answered by the handlers in process.
void BM_Baseline_ReadRecord(benchmark::State &state)
{
    cFileArea files("/nonexistent");
    cRequestHandler handler(InProcessStore(), files, "127.0.0.1");
    handler.Handle(1, 0, "ProgramID=DorvaneClient");
    for (auto _ : state)
        benchmark::DoNotOptimize(handler.Handle(31001, 20003, "TableName=ProviderEntities,Seq=1"));
    state.SetItemsProcessed(state.iterations());
}

void BM_Baseline_ReadFieldsJoined8(benchmark::State &state)
{
    cFileArea files("/nonexistent");
    cRequestHandler handler(InProcessStore(), files, "127.0.0.1");
    handler.Handle(1, 0, "ProgramID=DorvaneClient");
    cStringList request;
    request.Add("TableName=CaseNeedsQuote");
    request.Add("List=1");
    request.Add("Key=1");
    request.Add(std::string("FieldList=") + CaseDetailFields);
    request.Add(std::string("AliasList=") + CaseDetailAliases);
    std::string body = request.CommaText();
    for (auto _ : state)
        benchmark::DoNotOptimize(handler.Handle(31001, 20013, body));
    state.SetItemsProcessed(state.iterations());
}

void BM_Baseline_ProviderQuotes(benchmark::State &state)
{
    cFunctionHandler handler(InProcessStore());
    for (auto _ : state)
        benchmark::DoNotOptimize(handler.Handle(QuotesRequest));
    state.SetItemsProcessed(state.iterations());
}
cServerProcess *StartedServer()
{
    return Started;
}
} // namespace

BENCHMARK(BM_ReadRecord)->Threads(1)->Threads(8)->UseRealTime();
BENCHMARK(BM_Baseline_ReadRecord)->Threads(1)->Threads(8)->UseRealTime();
BENCHMARK(BM_ReadFieldsJoined8)->Threads(1)->Threads(8)->UseRealTime();
BENCHMARK(BM_Baseline_ReadFieldsJoined8)->Threads(1)->Threads(8)->UseRealTime();
BENCHMARK(BM_ProviderQuotes)->Threads(1)->Threads(8)->UseRealTime();
BENCHMARK(BM_Baseline_ProviderQuotes)->Threads(1)->Threads(8)->UseRealTime();

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (cServerProcess *s = StartedServer())
        s->Stop();
    return 0;
}
