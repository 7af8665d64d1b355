/* The least a DNS server on UDP can do: every datagram goes back to its sender at once as a
 * reply with the QR bit set and one A record for 127.0.0.1 appended (what a listed name gets),
 * one recvfrom and one sendto each, no lists, no decision.
 * The yardstick for the cost of the kernel's UDP path. Usage: bare_loop PORT (on 127.0.0.1). */
#include <arpa/inet.h>
#include <netinet/in.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s PORT\n", argv[0]);
        return 2;
    }
    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    struct sockaddr_in local = {0};
    local.sin_family = AF_INET;
    local.sin_port = htons((unsigned short)atoi(argv[1]));
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || bind(fd, (struct sockaddr*)&local, sizeof local) != 0) {
        perror("bind");
        return 1;
    }
    static const unsigned char answer[] = {0xC0, 0x0C, 0, 1, 0, 1, 0, 0, 0, 60, 0, 4, 127, 0, 0, 1};
    unsigned char buffer[512 + sizeof answer];
    for (;;) {
        struct sockaddr_in from;
        socklen_t size = sizeof from;
        ssize_t length = recvfrom(fd, buffer, 512, 0, (struct sockaddr*)&from, &size);
        if (length < 12) {
            continue;
        }
        buffer[2] |= 0x80;
        buffer[6] = 0;
        buffer[7] = 1;
        memcpy(buffer + length, answer, sizeof answer);
        sendto(fd, buffer, (size_t)length + sizeof answer, 0, (struct sockaddr*)&from, size);
    }
}
