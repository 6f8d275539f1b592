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

void vrel__main() {
int vrel__x;
int vrel__a[3];
char vrel__buf[8];
void vrel__inc(int *vrel__p) {
(*vrel__p)= (*vrel__p)+ 1 ;

}
void vrel__twice(int *vrel__q) {
vrel__inc(&(*vrel__q));
vrel__inc(&(*vrel__q));

}
int vrel__fact(int vrel__n) {
if (vrel__n <= 1 ) {
return 1 ;
}
return vrel__n * vrel__fact(vrel__n - 1 ) ;

}
void vrel__setlen(char vrel__s[], int *vrel__n) {
(*vrel__n)= vrel__strlen(vrel__s ) ;

}
vrel__x = 5 ;
vrel__inc(&vrel__x );
vrel__writeInteger(vrel__x );
vrel__writeChar(' ');
vrel__a [1 ] = 7 ;
vrel__twice(&vrel__a [1 ] );
vrel__writeInteger(vrel__a [1 ] );
vrel__writeChar(' ');
vrel__writeInteger(vrel__fact(5 ) );
vrel__writeChar(' ');
vrel__strcpy(vrel__buf , "abc");
vrel__setlen(vrel__buf , &vrel__x );
vrel__writeInteger(vrel__x );

}
int main() {
	vrel__main();
}


