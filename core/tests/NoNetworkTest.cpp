// The XML layer reaches no network: a URL handed to Xerces yields nothing,
// and no connection is even attempted.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <string>

#include <xercesc/util/BinInputStream.hpp>
#include <xercesc/util/XMLURL.hpp>

#include "vorsan/core/Text.h"
#include "vorsan/core/Xml.h"

TEST(XmlLoading, NoUrlIsFetched) {
    vorsan::xml::ensureInitialised();
    // A listener on a free local port, which would see any attempt.
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof at;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&at), &size), 0);

    const std::string address = "http://127.0.0.1:" + std::to_string(ntohs(at.sin_port)) + "/rules.xml";
    xercesc::XMLURL url(vorsan::utf8ToUtf16(address).c_str());
    try {
        std::unique_ptr<xercesc::BinInputStream> stream(url.makeNewStream());
        XMLByte buffer[64];
        if (stream) {
            EXPECT_EQ(stream->readBytes(buffer, sizeof buffer), 0u);
        }
    } catch (const xercesc::XMLException&) {
        // Refused outright: as good.
    }
    EXPECT_LT(::accept(listener, nullptr, nullptr), 0) << "a connection was made to " << address;
    ::close(listener);
}
