// The name lookup libxcb asks for when DISPLAY names a host ("localhost:10" under ssh -X), in
// place of glibc's: linked statically, glibc's would need the machine's own NSS modules of the
// very version it was built with, and it would double the launcher's size for a message window.
// Only "localhost" and numeric IPv4 and IPv6 addresses are resolved; other names are not found.
#include <arpa/inet.h>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>

namespace {

addrinfo* NewEntry(int family, const void* address, std::size_t size, int port,
                   const addrinfo* hints) {
    auto* entry = static_cast<addrinfo*>(std::calloc(1, sizeof(addrinfo) + sizeof(sockaddr_in6)));
    if (entry == nullptr) {
        return nullptr;
    }
    entry->ai_family = family;
    entry->ai_socktype =
        hints != nullptr && hints->ai_socktype != 0 ? hints->ai_socktype : SOCK_STREAM;
    entry->ai_addr = reinterpret_cast<sockaddr*>(entry + 1);
    if (family == AF_INET) {
        auto* in = reinterpret_cast<sockaddr_in*>(entry->ai_addr);
        in->sin_family = AF_INET;
        in->sin_port = htons(static_cast<std::uint16_t>(port));
        std::memcpy(&in->sin_addr, address, size);
        entry->ai_addrlen = sizeof(sockaddr_in);
    } else {
        auto* in6 = reinterpret_cast<sockaddr_in6*>(entry->ai_addr);
        in6->sin6_family = AF_INET6;
        in6->sin6_port = htons(static_cast<std::uint16_t>(port));
        std::memcpy(&in6->sin6_addr, address, size);
        entry->ai_addrlen = sizeof(sockaddr_in6);
    }
    return entry;
}

} // namespace

extern "C" int getaddrinfo(const char* node, const char* service, const addrinfo* hints,
                           addrinfo** result) {
    *result = nullptr;
    const int port = service != nullptr ? std::atoi(service) : 0;
    in_addr v4{};
    in6_addr v6{};
    if (node == nullptr || std::strcmp(node, "localhost") == 0) {
        v4.s_addr = htonl(INADDR_LOOPBACK);
        *result = NewEntry(AF_INET, &v4, sizeof v4, port, hints);
    } else if (inet_pton(AF_INET, node, &v4) == 1) {
        *result = NewEntry(AF_INET, &v4, sizeof v4, port, hints);
    } else if (inet_pton(AF_INET6, node, &v6) == 1) {
        *result = NewEntry(AF_INET6, &v6, sizeof v6, port, hints);
    } else {
        return EAI_NONAME;
    }
    return *result != nullptr ? 0 : EAI_MEMORY;
}

extern "C" void freeaddrinfo(addrinfo* list) {
    while (list != nullptr) {
        addrinfo* next = list->ai_next;
        std::free(list);
        list = next;
    }
}
