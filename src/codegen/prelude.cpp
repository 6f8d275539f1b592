#include "codegen/prelude.h"

namespace vrel {

std::string_view runtimePrelude() {
  return R"(#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef unsigned char byte;

void vrel__writeInteger(int i) {
  printf("%d", i);
}

void vrel__writeByte(byte b) {
  printf("%u", (unsigned int) b);
}

void vrel__writeChar(byte b) {
  printf("%c", (char) b);
}

void vrel__writeString(byte s[]) {
  printf("%s", s);
}

int vrel__readInteger() {
  int y = 0;
  scanf("%d", &y);
  return y;
}

byte vrel__readByte() {
  unsigned int y = 0;
  scanf("%u", &y);
  return (byte) y;
}

byte vrel__readChar() {
  return getchar();
}

void vrel__readString(int n, byte s[]) {
  if (n > 0 && fgets(s, n, stdin) == NULL) s[0] = 0;
}

int vrel__extend(byte b) {
  return (int) b;
}

byte vrel__shrink(int i) {
  return (byte) i;
}

int vrel__strlen(byte *s) {
  return strlen(s);
}

int vrel__strcmp(byte *s1, byte *s2) {
  return strcmp(s1, s2);
}

void vrel__strcpy(char *trg, char *src) {
  strcpy(trg, src);
}

void vrel__strcat(char *trg, char *src) {
  strcat(trg, src);
}

)";
}

}  // namespace vrel
