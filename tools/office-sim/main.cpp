// office-sim: a local HTTP server that plays the patent-office services for
// the program's tests and demos. Listens on 127.0.0.1 only.
//
//   office-sim [--port N] [--latency MS] [--fault RULE]... [--doc DOC]...
//              [--pages DIR] [--page-bytes N] [--threads N]
//
// The first line printed is "listening on 127.0.0.1:PORT" (--port 0 picks a
// free port). See Faults.h for fault rules and Catalog.h for document descriptions.
#include <httplib.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "tools/office-sim/OfficeService.h"
#include "tools/office-sim/RuleText.h"

namespace {

using namespace officesim;

constexpr const char* kUsage =
    "usage: office-sim [--port N] [--latency MS] [--fault RULE]... [--doc DOC]...\n"
    "                  [--pages DIR] [--page-bytes N] [--threads N] [--catalog]\n"
    "  --catalog: print the documents served, one a line (service, number, kind, pages,\n"
    "             first page of claims, description, drawings, search report; tab-separated)\n"
    "  RULE: service=espacenet,request=page,number=EP1033882A1,page=3,\n"
    "        latency=MS | status=CODE | reset | stall=MS | stallbody=MS | truncate | html,\n"
    "        first=N (fail only the first N attempts)\n"
    "  DOC:  number=EP1100000A1,pages=100,des=2,cla=80,dra=90,rep=0[,abstract=CHARS][,markerline=N]\n"
    "        [,keyline=N][,abstractid=KEY][,totpg=TEXT]\n"
    "  EPO OPS: --ops-minute-ms MS (length of the rate minute), --ops-throttle green=200,yellow@6:20,red@14:30\n"
    "           (colour phases by images request), --ops-refuse N[:SECONDS], --ops-expire N (first token)\n";

struct Options {
  int port = 0;
  int threads = 64;
  bool catalog = false;
};

bool IntArg(const std::string& text, int lo, int hi, int& out) {
  return ParseInt(text, out) && out >= lo && out <= hi;
}

// Returns 0 to run, otherwise the exit code.
int ParseArgs(int argc, char** argv, Options& opt, SimContext& ctx) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 1;
    }
    if (arg == "--catalog") {
      opt.catalog = true;
      continue;
    }
    if (i + 1 >= argc) {
      std::cerr << "office-sim: " << arg << " needs a value\n" << kUsage;
      return 2;
    }
    std::string value = argv[++i];
    std::string error;
    int n = 0;
    if (arg == "--port" && IntArg(value, 0, 65535, n)) {
      opt.port = n;
    } else if (arg == "--threads" && IntArg(value, 1, 1024, n)) {
      opt.threads = n;
    } else if (arg == "--page-bytes" && IntArg(value, 0, 64 << 20, n)) {
      ctx.pageBytes = static_cast<size_t>(n);
    } else if (arg == "--pages") {
      ctx.pagesDir = value;
    } else if (arg == "--latency" && IntArg(value, 0, 600000, n)) {
      FaultRule rule;
      rule.latencyMs = n;
      ctx.faults.Add(rule);
    } else if (arg == "--fault") {
      FaultRule rule;
      if (!ParseFaultRule(value, rule, error)) {
        std::cerr << "office-sim: --fault " << value << ": " << error << "\n";
        return 2;
      }
      ctx.faults.Add(rule);
    } else if (arg == "--ops-minute-ms" && IntArg(value, 10, 600000, n)) {
      ctx.ops.minuteMs = n;
    } else if (arg == "--ops-throttle" || arg == "--ops-refuse") {
      const bool ok = arg == "--ops-throttle" ? ParseOpsThrottle(value, ctx.ops, error)
                                              : ParseOpsRefuse(value, ctx.ops, error);
      if (!ok) {
        std::cerr << "office-sim: " << arg << " " << value << ": " << error << "\n";
        return 2;
      }
    } else if (arg == "--ops-expire" && IntArg(value, 1, 1000000, n)) {
      ctx.ops.expireAfter = n;
    } else if (arg == "--doc") {
      SampleDocument doc;
      if (!ParseDocument(value, doc, error)) {
        std::cerr << "office-sim: --doc " << value << ": " << error << "\n";
        return 2;
      }
      ctx.catalog.Add(doc);
    } else {
      std::cerr << "office-sim: bad option " << arg << " " << value << "\n" << kUsage;
      return 2;
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  SimContext ctx;
  Options opt;
  if (int code = ParseArgs(argc, argv, opt, ctx)) return code == 1 ? 0 : code;

  httplib::Server server;
  int threads = opt.threads;
  // Stalled and slow answers hold a worker each; keep enough for every
  // transfer of the client plus its idle keep-alive connections.
  server.new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
  server.set_keep_alive_max_count(1000);
  // Headers and body go out in separate writes; without this the client's
  // delayed acknowledgement holds every page back by some 40 ms.
  server.set_tcp_nodelay(true);

  std::vector<std::unique_ptr<OfficeService>> services;
  services.push_back(NewControlService(ctx));
  services.push_back(NewEspacenetService(ctx));
  // JPO IPDL, its English abstracts (PAJ) and Delphion.
  services.push_back(NewIpdlService(ctx));
  services.push_back(NewPajService(ctx));
  services.push_back(NewDelphionService(ctx));
  services.push_back(NewUsptoService(ctx));
  services.push_back(NewKiprisService(ctx));
  services.push_back(NewOpsService(ctx));
  if (opt.catalog) {
    for (auto& service : services) {
      for (const std::string& line : service->CatalogLines()) std::cout << line << "\n";
    }
    return 0;
  }
  for (auto& service : services) service->Register(server);

  int port = opt.port;
  if (port == 0) {
    port = server.bind_to_any_port("127.0.0.1");
  } else if (!server.bind_to_port("127.0.0.1", port)) {
    port = -1;
  }
  if (port <= 0) {
    std::cerr << "office-sim: cannot listen on 127.0.0.1:" << opt.port << ": " << std::strerror(errno) << "\n";
    return 1;
  }
  std::printf("listening on 127.0.0.1:%d\n", port);
  std::fflush(stdout);
  return server.listen_after_bind() ? 0 : 1;
}
