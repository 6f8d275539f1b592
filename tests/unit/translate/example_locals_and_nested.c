void vrel__main() {
int vrel__i;
byte vrel__buf[80];
int vrel__p(int vrel__n, byte *vrel__c, byte vrel__s[]) {
int vrel__k;
vrel__k = vrel__strlen(vrel__s ) ;
(*vrel__c)= vrel__shrink(vrel__n ) ;
return vrel__k + vrel__n ;

}
vrel__i = vrel__p(vrel__i , &vrel__buf [vrel__i ] , vrel__buf ) ;
vrel__writeInteger(vrel__i );

}
int main() {
	vrel__main();
}


