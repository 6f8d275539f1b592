void vrel__m() {
void vrel__f(int vrel__v[], int vrel__w[], int vrel__i) {
void vrel__inc(int *vrel__r) {
(*vrel__r)= (*vrel__r)+ 1 ;

}
int vrel__first(int vrel__s[]) {
return vrel__s [0 ] ;

}
vrel__inc(&vrel__v [vrel__i ] );
vrel__inc(&vrel__w [vrel__i ] );
vrel__v [vrel__i ] = vrel__first(vrel__v ) + vrel__first(vrel__w ) + vrel__v [vrel__i ] ;

}

}
int main() {
	vrel__m();
}


