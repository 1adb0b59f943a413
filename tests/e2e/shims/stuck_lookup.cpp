// Preloaded into an end-to-end test: names under "stuck.test" behave like a name server that
// never answers (the lookup blocks for 20 s, then fails); every other name is looked up as usual.
#include <dlfcn.h>
#include <netdb.h>
#include <unistd.h>

#include <cstring>

extern "C" int getaddrinfo(const char* node, const char* service, const addrinfo* hints, addrinfo** res)
{
    using Fn = int (*)(const char*, const char*, const addrinfo*, addrinfo**);
    static const auto real = reinterpret_cast<Fn>(dlsym(RTLD_NEXT, "getaddrinfo"));
    static const char suffix[] = "stuck.test";
    const size_t n = node ? std::strlen(node) : 0;
    if (n >= sizeof suffix - 1 && std::strcmp(node + n - (sizeof suffix - 1), suffix) == 0) {
        ::sleep(20);
        return EAI_AGAIN;
    }
    return real(node, service, hints, res);
}
