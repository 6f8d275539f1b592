#include <stdio.h>
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
  int y;
  scanf("%d", &y);
  return y;
}

byte vrel__readByte() {
  unsigned int y;
  scanf("%u", &y);
  return (byte) y;
}

byte vrel__readChar() {
  return getchar();
}

void vrel__readString(int n, byte s[]) {
  fgets(s, n, stdin);
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

int vrel__main() {
int vrel__zero;
char vrel__c;
int vrel__big[1000];
void vrel__a() {

}
void vrel__outer1() {
void vrel__inner() {

}
vrel__inner();

}
char vrel__outer2(char vrel__s[], char vrel__t[], int vrel__g[]) {
void vrel__inner() {

}
vrel__inner();
return 'x';

}

}
int main() {
	vrel__main();
}


