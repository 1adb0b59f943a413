// Preloaded into an end-to-end test, a local stand-in for name servers: names under "stuck.test"
// behave like a name server that never answers (the lookup blocks for 20 s, then fails), names
// under "nxdomain.test" do not exist (answered at once); every other name is looked up as usual.
#include <dlfcn.h>
#include <netdb.h>
#include <unistd.h>

#include <cstring>

extern "C" int getaddrinfo(const char* node, const char* service, const addrinfo* hints, addrinfo** res)
{
    using Fn = int (*)(const char*, const char*, const addrinfo*, addrinfo**);
    static const auto real = reinterpret_cast<Fn>(dlsym(RTLD_NEXT, "getaddrinfo"));
    const size_t n = node ? std::strlen(node) : 0;
    const auto under = [node, n](const char* suffix) {
        const size_t k = std::strlen(suffix);
        return n >= k && std::strcmp(node + n - k, suffix) == 0;
    };
    if (under("stuck.test")) {
        ::sleep(20);
        return EAI_AGAIN;
    }
    if (under("nxdomain.test"))
        return EAI_NONAME;
    return real(node, service, hints, res);
}
