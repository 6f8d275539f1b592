void vrel__main() {
int vrel__x;
int vrel__a[3];
byte vrel__buf[8];
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
void vrel__setlen(byte vrel__s[], int *vrel__n) {
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


